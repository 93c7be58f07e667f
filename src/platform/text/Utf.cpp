#include "platform/text/Utf.h"

#include <cerrno>
#include <iconv.h>

namespace platform {

void appendUTF8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string utf16ToUTF8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        appendUTF8(out, c);
    }
    return out;
}

std::optional<std::string> legacyToUTF8(std::string_view bytes, const char* encoding) {
    iconv_t cd = ::iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out;
    out.resize(bytes.size() * 4 + 16);
    // iconv's interface takes non-const input pointers; it does not write through them.
    std::string in(bytes);
    char* inp = in.data();
    size_t inLeft = in.size();
    char* outp = out.data();
    size_t outLeft = out.size();
    const size_t r = ::iconv(cd, &inp, &inLeft, &outp, &outLeft);
    const bool ok = r != static_cast<size_t>(-1) && inLeft == 0 &&
                    ::iconv(cd, nullptr, nullptr, &outp, &outLeft) != static_cast<size_t>(-1);
    ::iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace platform
