#pragma once
// The few Unicode services the font-name matching needs, over ICU.

#include <string>

namespace platform {

/// Canonical decomposition (NFD); the text unchanged when ICU refuses it.
std::u16string canonicalDecomposition(const std::u16string& text);
/// General category Ll, Lu or Lt.
bool isCasedLetter(char32_t c);
char32_t simpleLowercase(char32_t c);
char32_t simpleUppercase(char32_t c);

} // namespace platform
