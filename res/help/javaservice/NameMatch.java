package tarvo.service;

/**
 * Whether a name is one that a typed pattern asks for: it begins with the pattern, whatever the
 * case, or the pattern's humps begin the name's humps in order ("sB" finds StringBuilder, "NPE"
 * NullPointerException). A pattern's hump starts at each of its capitals after the first
 * character; a name's hump starts at its first character, at a capital after a small letter or
 * digit, at the last capital of a run that a small letter follows (URLConnection: URL,
 * Connection) and after an underscore or a dollar. Tarvo's list filters with the same rule.
 */
final class NameMatch {
    private NameMatch() {}

    static boolean matches(String pattern, String name) {
        return pattern.isEmpty() || startsWithIgnoringCase(name, pattern)
                || humpsMatch(pattern, name);
    }

    static boolean startsWithIgnoringCase(String name, String prefix) {
        return name.regionMatches(true, 0, prefix, 0, prefix.length());
    }

    static boolean humpsMatch(String pattern, String name) {
        int at = 0; // where the next hump may start in the name
        int segmentStart = 0;
        while (segmentStart < pattern.length()) {
            int segmentEnd = segmentStart + 1;
            while (segmentEnd < pattern.length()
                    && !Character.isUpperCase(pattern.charAt(segmentEnd))) {
                ++segmentEnd;
            }
            int length = segmentEnd - segmentStart;
            int found = -1;
            for (int hump = at; hump < name.length(); ++hump) {
                if (isHumpStart(name, hump) && (segmentStart > 0 || hump == 0)
                        && name.regionMatches(true, hump, pattern, segmentStart, length)) {
                    found = hump;
                    break;
                }
                if (segmentStart == 0) {
                    return false; // the first hump is the name's first
                }
            }
            if (found < 0) {
                return false;
            }
            at = found + length;
            segmentStart = segmentEnd;
        }
        return true;
    }

    static boolean isHumpStart(String name, int index) {
        if (index == 0) {
            return true;
        }
        char previous = name.charAt(index - 1);
        char current = name.charAt(index);
        if (previous == '_' || previous == '$') {
            return current != '_' && current != '$';
        }
        if (!Character.isUpperCase(current)) {
            return false;
        }
        if (!Character.isUpperCase(previous)) {
            return true;
        }
        return index + 1 < name.length() && Character.isLowerCase(name.charAt(index + 1));
    }
}
