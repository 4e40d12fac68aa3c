#pragma once

#include <QByteArray>

// About 2 MB of ordinary Java with CR LF line breaks, for the benchmarks of the source window
// and its colouring.
namespace bench_support {

// About 2 MB of Java with CR LF line breaks.
inline constexpr qsizetype kFileSize = 2 * 1000 * 1000;

// A stretch of ordinary Java: documentation and line comments, strings with escapes, character
// literals and plenty of keywords.
inline constexpr const char *kJavaStretch = R"java(/**
 * Keeps the scores of one game and tells who leads. Scores are
 * added as "name:points" pairs, for example "ann:12".
 */
public class ScoreBoard implements java.io.Serializable {
    private static final long serialVersionUID = 1L;
    private final java.util.Map<String, Integer> scores = new java.util.HashMap<>();

    // Adds the points of one "name:points" pair; ignores a malformed one.
    public void add(String pair) {
        int colon = pair.indexOf(':');
        if (colon <= 0 || colon == pair.length() - 1) {
            return;
        }
        try {
            int points = Integer.parseInt(pair.substring(colon + 1).trim());
            scores.merge(pair.substring(0, colon), points, Integer::sum);
        } catch (NumberFormatException e) {
            System.err.println("Not a number in \"" + pair + "\"");
        }
    }

    public String leader() {
        String best = null; /* nobody leads an empty board */
        for (java.util.Map.Entry<String, Integer> entry : scores.entrySet()) {
            if (best == null || entry.getValue() > scores.get(best)) {
                best = entry.getKey();
            }
        }
        return best == null ? "(none)" : best;
    }

    @Override
    public String toString() {
        StringBuilder text = new StringBuilder();
        for (String name : scores.keySet()) {
            text.append(name).append('\t').append(scores.get(name)).append('\n');
        }
        return text.toString();
    }
}

)java";

inline const QByteArray &javaFileBytes() {
    static const QByteArray bytes = [] {
        QByteArray result;
        while (result.size() < kFileSize) {
            result += kJavaStretch;
        }
        return result.replace("\n", "\r\n");
    }();
    return bytes;
}

} // namespace bench_support
