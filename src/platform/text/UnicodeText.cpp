#include "platform/text/UnicodeText.h"

#include "platform/text/IcuLibrary.h"

namespace platform {

std::u16string canonicalDecomposition(const std::u16string& text) {
    const IcuLibrary& icu = icuLibrary();
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = icu.unorm2_getNFDInstance(&status);
    if (U_FAILURE(status) || !nfd)
        return text;
    const auto* src = reinterpret_cast<const UChar*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    // Decomposition seldom lengthens a name; when it does, ICU reports the
    // length needed and the second call fits.
    std::u16string out(text.size() + 16, u'\0');
    int32_t needed = icu.unorm2_normalize(nfd, src, length, reinterpret_cast<UChar*>(out.data()),
                                          static_cast<int32_t>(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        out.assign(static_cast<size_t>(needed), u'\0');
        needed = icu.unorm2_normalize(nfd, src, length, reinterpret_cast<UChar*>(out.data()),
                                      static_cast<int32_t>(out.size()), &status);
    }
    if (U_FAILURE(status))
        return text;
    out.resize(static_cast<size_t>(needed));
    return out;
}

bool isCasedLetter(char32_t c) {
    int8_t t = icuLibrary().u_charType(static_cast<UChar32>(c));
    return t == U_LOWERCASE_LETTER || t == U_UPPERCASE_LETTER || t == U_TITLECASE_LETTER;
}

char32_t simpleLowercase(char32_t c) {
    return static_cast<char32_t>(icuLibrary().u_tolower(UChar32(c)));
}
char32_t simpleUppercase(char32_t c) {
    return static_cast<char32_t>(icuLibrary().u_toupper(UChar32(c)));
}

} // namespace platform
