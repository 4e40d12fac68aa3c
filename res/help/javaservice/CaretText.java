package tarvo.service;

import java.util.ArrayList;
import java.util.List;

/**
 * A text with a caret to complete at: the identifier part typed before the caret (the prefix)
 * and where it starts, and the texts the compiler is given instead, with a marker identifier in
 * place of the prefix so that the place can be found in the tree of a line that is still being
 * typed. A marker at the end of its line is first made a call statement ("marker();"), which
 * mends the common case of a statement not finished yet and still stands for a name in a
 * declaration ("int x = s.marker();"); the text with the marker alone is tried next.
 */
final class CaretText {
    /** An identifier no source holds; whatever follows the caret on the identifier joins it. */
    static final String MARKER = "tarvoCaret$";

    final String text;
    final int caret;
    final int start;
    final String prefix;

    CaretText(String text, int caret) {
        this.text = text;
        this.caret = Math.max(0, Math.min(caret, text.length()));
        int begin = this.caret;
        while (begin > 0 && Character.isJavaIdentifierPart(text.charAt(begin - 1))) {
            --begin;
        }
        this.start = begin;
        this.prefix = text.substring(begin, this.caret);
    }

    /** The texts to try, in order; the marker starts at start in each. */
    List<String> patchedTexts() {
        String before = text.substring(0, start);
        String after = text.substring(caret);
        List<String> texts = new ArrayList<>();
        if (restOfLineIsBlank(after)) {
            texts.add(before + MARKER + "();" + after);
        }
        texts.add(before + MARKER + after);
        return texts;
    }

    private static boolean restOfLineIsBlank(String after) {
        for (int index = 0; index < after.length(); ++index) {
            char character = after.charAt(index);
            if (character == '\n' || character == '\r') {
                return true;
            }
            if (!Character.isWhitespace(character)) {
                return false;
            }
        }
        return true;
    }

    static boolean isMarker(CharSequence name) {
        return name.toString().startsWith(MARKER);
    }
}
