#pragma once
// Character classes for joining pieces of text: whether two pieces that meet
// without a gap need a space between them to keep their words apart.

namespace platform {

/// A letter or a decimal digit of any script.
bool isLetterOrDigit(char32_t c);
/// True for characters of scripts that write words without spaces between
/// them (Han, Hiragana, Katakana, Thai, Lao, Khmer, Myanmar ...) and for the
/// fullwidth forms used in such text.
bool isOfScriptWithoutWordSpaces(char32_t c);

} // namespace platform
