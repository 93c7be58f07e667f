#pragma once
// UTF-8 / UTF-16 conversions shared by every layer: document text is UTF-16,
// everything written to files is UTF-8.

#include <string>
#include <string_view>

namespace platform {

/// Appends the code point as UTF-8 (the caller passes a valid scalar value).
void appendUTF8(std::string& out, char32_t c);
/// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16ToUTF8(std::u16string_view utf16);

} // namespace platform
