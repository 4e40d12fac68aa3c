#include "editors/completion.h"

#include <QSet>

#include <algorithm>

namespace editors {

namespace {

constexpr int kShortestWord = 3;

bool isHumpStart(QStringView name, qsizetype index) {
    if (index == 0) {
        return true;
    }
    const QChar previous = name[index - 1];
    const QChar current = name[index];
    if (previous == u'_' || previous == u'$') {
        return current != u'_' && current != u'$';
    }
    if (!current.isUpper()) {
        return false;
    }
    if (!previous.isUpper()) {
        return true;
    }
    return index + 1 < name.size() && name[index + 1].isLower();
}

bool humpsMatch(QStringView pattern, QStringView name) {
    qsizetype at = 0; // where the next hump may start in the name
    qsizetype segmentStart = 0;
    while (segmentStart < pattern.size()) {
        qsizetype segmentEnd = segmentStart + 1;
        while (segmentEnd < pattern.size() && !pattern[segmentEnd].isUpper()) {
            ++segmentEnd;
        }
        const QStringView segment = pattern.mid(segmentStart, segmentEnd - segmentStart);
        qsizetype found = -1;
        for (qsizetype hump = at; hump < name.size(); ++hump) {
            if (isHumpStart(name, hump) && (segmentStart > 0 || hump == 0)
                && name.mid(hump).startsWith(segment, Qt::CaseInsensitive)) {
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
        at = found + segment.size();
        segmentStart = segmentEnd;
    }
    return true;
}

// "Graphics g" -> "Graphics", "final int[] values" -> "int[]", "Map<String, Integer> m" stays
// whole up to its name.
QStringList parameterTypesOf(QStringView parameters) {
    QStringList types;
    int depth = 0;
    qsizetype from = 0;
    const auto take = [&](qsizetype to) {
        QString parameter = parameters.mid(from, to - from).trimmed().toString();
        if (parameter.isEmpty()) {
            return;
        }
        const qsizetype space = parameter.lastIndexOf(u' ');
        if (space > 0) {
            parameter.truncate(space);
        }
        if (parameter.startsWith(QLatin1String("final "))) {
            parameter.remove(0, 6);
        }
        types.append(parameter.trimmed());
    };
    for (qsizetype index = 0; index < parameters.size(); ++index) {
        const QChar character = parameters[index];
        if (character == u'<') {
            ++depth;
        } else if (character == u'>') {
            --depth;
        } else if (character == u',' && depth == 0) {
            take(index);
            from = index + 1;
        }
    }
    take(parameters.size());
    return types;
}

// A scanner entry's last part as an entry: "Foo.paint(Graphics g)" is the method paint.
std::optional<CompletionItem> scannedItem(const QString &entry) {
    const qsizetype open = entry.indexOf(u'(');
    const QStringView path = QStringView(entry).first(open < 0 ? entry.size() : open);
    const qsizetype dot = path.lastIndexOf(u'.');
    CompletionItem item;
    item.name = path.mid(dot + 1).trimmed().toString();
    if (item.name.isEmpty()) {
        return std::nullopt;
    }
    if (open < 0) {
        item.kind = QStringLiteral("class");
        return item;
    }
    item.kind = QStringLiteral("method");
    const qsizetype close = entry.lastIndexOf(u')');
    item.parameterTypes = parameterTypesOf(
        QStringView(entry).mid(open + 1, (close < 0 ? entry.size() : close) - open - 1));
    return item;
}

} // namespace

NameMatch matchName(QStringView pattern, QStringView name) {
    if (name.startsWith(pattern)) {
        return NameMatch::Prefix;
    }
    if (name.startsWith(pattern, Qt::CaseInsensitive)) {
        return NameMatch::PrefixIgnoringCase;
    }
    return humpsMatch(pattern, name) ? NameMatch::Humps : NameMatch::None;
}

QList<int> filterCompletions(const QList<CompletionItem> &items, QStringView pattern) {
    QList<int> prefix;
    QList<int> otherCase;
    QList<int> humps;
    for (int index = 0; index < int(items.size()); ++index) {
        switch (matchName(pattern, items[index].name)) {
        case NameMatch::Prefix:
            prefix.append(index);
            break;
        case NameMatch::PrefixIgnoringCase:
            otherCase.append(index);
            break;
        case NameMatch::Humps:
            humps.append(index);
            break;
        case NameMatch::None:
            break;
        }
    }
    prefix.append(otherCase);
    prefix.append(humps);
    return prefix;
}

bool isIdentifierCharacter(QChar character) {
    return character.isLetterOrNumber() || character == u'_' || character == u'$';
}

int identifierStart(QStringView text, int position) {
    int start = std::clamp(position, 0, int(text.size()));
    while (start > 0 && isIdentifierCharacter(text[start - 1])) {
        --start;
    }
    return start;
}

CompletionInsertion insertionFor(const CompletionItem &item, QStringView textAfterCaret) {
    if (!item.isMethod() || textAfterCaret.trimmed().startsWith(u'(')) {
        return {item.name, int(item.name.size())};
    }
    const QString text = item.name + QStringLiteral("()");
    return {text, int(item.name.size()) + (item.parameterTypes.isEmpty() ? 2 : 1)};
}

QString completionLabel(const CompletionItem &item) {
    if (!item.isMethod()) {
        return item.name;
    }
    return item.name + QLatin1Char('(') + item.parameterTypes.join(QStringLiteral(", "))
           + QLatin1Char(')');
}

QList<CompletionItem> scannedCompletions(const QStringList &scannerEntries,
                                         const QList<QStringView> &texts, QStringView typedWord) {
    QSet<QString> seen;
    QList<CompletionItem> declared;
    for (const QString &entry : scannerEntries) {
        std::optional<CompletionItem> item = scannedItem(entry);
        const QString key = item ? item->kind + item->name + item->parameterTypes.join(u',') : "";
        if (item && item->name != typedWord && !seen.contains(key)) {
            seen.insert(key);
            declared.append(*item);
        }
    }
    QSet<QString> named;
    for (const CompletionItem &item : std::as_const(declared)) {
        named.insert(item.name);
    }
    QList<CompletionItem> words;
    for (const QStringView text : texts) {
        qsizetype index = 0;
        while (index < text.size()) {
            if (!isIdentifierCharacter(text[index])) {
                ++index;
                continue;
            }
            qsizetype end = index;
            while (end < text.size() && isIdentifierCharacter(text[end])) {
                ++end;
            }
            const QStringView word = text.mid(index, end - index);
            if (word.size() >= kShortestWord && !word.front().isDigit() && word != typedWord) {
                const QString copy = word.toString();
                if (!named.contains(copy)) {
                    named.insert(copy);
                    words.append({copy, QStringLiteral("word"), {}, {}, {}});
                }
            }
            index = end;
        }
    }
    const auto byName = [](const CompletionItem &a, const CompletionItem &b) {
        const int order = a.name.compare(b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    };
    std::stable_sort(declared.begin(), declared.end(), byName);
    std::sort(words.begin(), words.end(), byName);
    return declared + words;
}

} // namespace editors
