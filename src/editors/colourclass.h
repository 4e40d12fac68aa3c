#pragma once

namespace editors {

// The class a colouring pass gives one character of a source text. Every character starts as
// Normal; the view maps each class to its character format.
enum class ColourClass : unsigned char { Normal, Keyword, String, Comment };

} // namespace editors
