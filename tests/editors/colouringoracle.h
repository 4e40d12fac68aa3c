#pragma once

#include "editors/syntaxcolouring.h"

#include <string_view>

// The colouring passes written out step by step, as literally as they are stated: every keyword
// searched for on its own, every search a plain forward scan. The fast versions must give the
// same classes on every text.
namespace oracle {

editors::ColourClasses classifyWholeText(std::u16string_view text);
editors::ColourClasses classifyLine(std::u16string_view line, bool open, bool inTextBlock);
bool isInTextBlock(std::u16string_view text, qsizetype lineStart);
bool isInBlockComment(std::u16string_view text, qsizetype offset);

} // namespace oracle
