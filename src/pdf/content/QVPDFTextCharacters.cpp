#include "pdf/content/QVPDFTextCharacters.h"

size_t QVPDF_UTF8FromCodePoint(uint32_t cp, char* buffer, size_t size) {
    size_t n = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : cp < 0x110000 ? 4 : 0;
    if (n == 0 || size < n)
        return 0;
    auto byte = [](uint32_t v) { return static_cast<char>(static_cast<unsigned char>(v)); };
    switch (n) {
    case 1:
        buffer[0] = byte(cp);
        break;
    case 2:
        buffer[0] = byte(0xC0 | (cp >> 6));
        buffer[1] = byte(0x80 | (cp & 0x3F));
        break;
    case 3:
        buffer[0] = byte(0xE0 | (cp >> 12));
        buffer[1] = byte(0x80 | ((cp >> 6) & 0x3F));
        buffer[2] = byte(0x80 | (cp & 0x3F));
        break;
    default:
        buffer[0] = byte(0xF0 | (cp >> 18));
        buffer[1] = byte(0x80 | ((cp >> 12) & 0x3F));
        buffer[2] = byte(0x80 | ((cp >> 6) & 0x3F));
        buffer[3] = byte(0x80 | (cp & 0x3F));
        break;
    }
    return n;
}

bool QVPDF_IsWhitespaceCharacter(char16_t c) {
    switch (c) {
    case 0x0009:
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x0020:
    case 0x0085:
    case 0x00A0:
    case 0x1680:
    case 0x180E:
    case 0x2000:
    case 0x2001:
    case 0x2002:
    case 0x2003:
    case 0x2004:
    case 0x2009:
    case 0x200A:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return false;
    }
}

void QVPDF_FixUnicodeSequence(uint32_t* u, int* count) {
    if (*count == 3 && u[0] == 0x2D && u[1] == 0xAD && u[2] == 0x2010) {
        u[0] = 0x2010;
        *count = 1;
    } else if (*count == 4 && u[0] == 0x09 && u[1] == 0x0D && u[2] == 0x20 && u[3] == 0xA0) {
        u[0] = 0x20;
        *count = 1;
    }
}

std::u16string QVPDF_ExpandLigatures(const std::u16string& text) {
    static constexpr const char16_t* kLetters[] = {u"ff",  u"fi", u"fl", u"ffi",
                                                   u"ffl", u"st", u"st"};
    auto isLigature = [](char16_t c) { return c >= 0xFB00 && c <= 0xFB06; };
    bool any = false;
    for (char16_t c : text)
        any = any || isLigature(c);
    if (!any)
        return text;
    std::u16string out;
    out.reserve(text.size() + 4);
    for (char16_t c : text) {
        if (isLigature(c))
            out += kLetters[c - 0xFB00];
        else
            out += c;
    }
    return out;
}
