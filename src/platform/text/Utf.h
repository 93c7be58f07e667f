#pragma once
// UTF-8 / UTF-16 conversions shared by every layer: document text is UTF-16,
// everything written to files is UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// Appends the code point as UTF-8 (the caller passes a valid scalar value).
void appendUTF8(std::string& out, char32_t c);
/// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16ToUTF8(std::u16string_view utf16);
/// Bytes of a legacy character set named as iconv knows it ("GBK", "BIG5",
/// "SHIFT_JIS", "EUC-KR", ...) as UTF-8; none when the set is unknown or
/// any byte sequence is not valid in it (nothing is guessed or replaced).
std::optional<std::string> legacyToUTF8(std::string_view bytes, const char* encoding);

} // namespace platform
