#include "platform/text/UnicodeText.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace platform {

std::u16string canonicalDecomposition(const std::u16string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status) || !nfd)
        return text;
    icu::UnicodeString src(reinterpret_cast<const UChar*>(text.data()),
                           static_cast<int32_t>(text.size()));
    icu::UnicodeString out = nfd->normalize(src, status);
    if (U_FAILURE(status))
        return text;
    return std::u16string(reinterpret_cast<const char16_t*>(out.getBuffer()),
                          static_cast<size_t>(out.length()));
}

bool isCasedLetter(char32_t c) {
    int8_t t = u_charType(static_cast<UChar32>(c));
    return t == U_LOWERCASE_LETTER || t == U_UPPERCASE_LETTER || t == U_TITLECASE_LETTER;
}

char32_t simpleLowercase(char32_t c) {
    return static_cast<char32_t>(u_tolower(UChar32(c)));
}
char32_t simpleUppercase(char32_t c) {
    return static_cast<char32_t>(u_toupper(UChar32(c)));
}

} // namespace platform
