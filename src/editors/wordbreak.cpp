#include "editors/wordbreak.h"

#include "editors/sourcetext.h"

#include <algorithm>

namespace editors {

namespace {
constexpr char16_t kLastAsciiCode = 127;

bool isAsciiDelimiter(char16_t code) {
    if (code == u'_') {
        return false;
    }
    return (code >= 9 && code <= 13) || code == u' ' || (code >= 33 && code <= 47)
           || (code >= 58 && code <= 64) || (code >= 91 && code <= 96)
           || (code >= 123 && code <= 126);
}
} // namespace

bool isWordDelimiter(QChar character) {
    if (character.unicode() <= kLastAsciiCode) {
        return isAsciiDelimiter(character.unicode());
    }
    return character == kCarriageReturnPlaceholder || character.isSpace() || character.isPunct();
}

int WordBreak(QStringView text, int position, int length, WordBreakAction action) {
    const auto delimiterAt = [text](int index) { return isWordDelimiter(text[index]); };
    switch (action) {
    case WordBreakAction::Left:
        for (int index = std::min(position, length) - 1; index >= 0; --index) {
            if (delimiterAt(index)) {
                return index + 1;
            }
        }
        return 0;
    case WordBreakAction::Right:
        for (int index = std::max(position, 0); index < length; ++index) {
            if (delimiterAt(index)) {
                return index;
            }
        }
        return length;
    case WordBreakAction::IsDelimiter:
        return position >= 0 && position < length && delimiterAt(position) ? 1 : 0;
    }
    return 0;
}

} // namespace editors
