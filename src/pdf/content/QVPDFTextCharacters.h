#pragma once
// Character helpers of text showing: code points as UTF-8, the whitespace
// characters that take the word spacing, and the decoded sequences that stand
// for one character.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

/// Writes the UTF-8 bytes of `codePoint` (1 to 4 bytes, surrogates not
/// refused) and returns their number; 0 above U+10FFFF or when the buffer is
/// too small.
size_t QVPDF_UTF8FromCodePoint(uint32_t codePoint, char* buffer, size_t bufferSize);

/// True for the space and line-break characters that count as a word gap:
/// U+0009..U+000D, U+0020, U+0085, U+00A0, U+1680, U+180E, U+2000..U+2004,
/// U+2009, U+200A, U+2028, U+2029, U+202F, U+205F and U+3000.
bool QVPDF_IsWhitespaceCharacter(char16_t c);

/// A hyphen decoded as U+002D U+00AD U+2010 becomes U+2010; the four units
/// U+0009 U+000D U+0020 U+00A0 become one U+0020. Other sequences stay.
void QVPDF_FixUnicodeSequence(uint32_t* units, int* count);

/// Typographic ligatures (U+FB00 to U+FB06) as their letters, so output text
/// reads and searches as "conflict", not with the single ligature character.
std::u16string QVPDF_ExpandLigatures(const std::u16string& text);

/// The sign tables of symbol fonts whose glyphs Word and others reach
/// through the private-use characters U+F020..U+F0FF (the font's code plus
/// U+F000).
enum class QVPDF_SymbolSet { None, Symbol, Wingdings };

/// The table of a font by its name without subset prefix: Symbol (SymbolMT,
/// Symbol,Bold ...) or Wingdings (Wingdings-Regular ...; not Wingdings 2 or
/// 3, whose signs differ); None for any other font or none.
QVPDF_SymbolSet QVPDF_SymbolSetOfFont(const std::optional<std::string>& fontName);

/// A lone private-use character of the set's range becomes the Unicode sign
/// the font draws for it (U+F0FC in Wingdings: U+2713 check mark; U+F0B7 in
/// Symbol: U+2022 bullet). Codes without such a sign, and sequences of more
/// than one unit, stay as they are.
void QVPDF_MapSymbolPrivateUse(QVPDF_SymbolSet set, uint32_t* units, int count);
