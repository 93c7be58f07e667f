// The text services open ICU on first use; every answer must be ICU's own.
// This test links ICU directly and compares each code point.
#include "platform/text/ScriptClasses.h"
#include "platform/text/UnicodeText.h"

#include <gtest/gtest.h>

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <string>

using namespace platform;

namespace {

std::u16string nfd(const std::u16string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* n = icu::Normalizer2::getNFDInstance(status);
    EXPECT_TRUE(U_SUCCESS(status));
    icu::UnicodeString out =
        n->normalize(icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())), status);
    EXPECT_TRUE(U_SUCCESS(status));
    return std::u16string(out.getBuffer(), static_cast<size_t>(out.length()));
}

std::u16string utf16(char32_t c) {
    if (c < 0x10000)
        return std::u16string(1, static_cast<char16_t>(c));
    c -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

} // namespace

TEST(UnicodeServices, EveryCodePointAnswersAsIcu) {
    size_t mismatches = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        const auto u = static_cast<UChar32>(c);
        const int8_t type = u_charType(u);
        const bool cased = type == U_LOWERCASE_LETTER || type == U_UPPERCASE_LETTER ||
                           type == U_TITLECASE_LETTER;
        const bool ok = isLetterOrDigit(c) == (u_isalnum(u) != 0) &&
                        isCasedLetter(c) == cased &&
                        simpleLowercase(c) == static_cast<char32_t>(u_tolower(u)) &&
                        simpleUppercase(c) == static_cast<char32_t>(u_toupper(u)) &&
                        (c >= 0xD800 && c <= 0xDFFF
                             ? true
                             : canonicalDecomposition(utf16(c)) == nfd(utf16(c)));
        if (!ok && ++mismatches <= 5)
            ADD_FAILURE() << "U+" << std::hex << static_cast<uint32_t>(c);
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST(UnicodeServices, DecompositionReordersMarksAndGrowsPastItsFirstGuess) {
    // Marks in canonical order (dot below, class 220, before the acute, 230).
    EXPECT_EQ(canonicalDecomposition(u"\u1E0B\u0323"), u"d\u0323\u0307");
    EXPECT_EQ(canonicalDecomposition(u"Caf\u00E9 \uAC00"), u"Cafe\u0301 \u1100\u1161");
    // Forty Hangul syllables become eighty jamo: longer than the first buffer.
    const std::u16string syllables(40, u'\uAC01');
    std::u16string jamo;
    for (int i = 0; i < 40; ++i)
        jamo += u"\u1100\u1161\u11A8";
    EXPECT_EQ(canonicalDecomposition(syllables), jamo);
    EXPECT_EQ(canonicalDecomposition(u""), u"");
    // An unpaired surrogate is not refused: it passes through.
    EXPECT_EQ(canonicalDecomposition(std::u16string(1, u'\xD800') + u"\u00C5"),
              std::u16string(1, u'\xD800') + u"A\u030A");
}

TEST(UnicodeServices, ScriptsWrittenWithoutWordSpaces) {
    for (char32_t c : {U'\u4E2D', U'\u3042', U'\u30AB', U'\u0E01', U'\u1780', U'\uFF21',
                       U'\U00020000'})
        EXPECT_TRUE(isOfScriptWithoutWordSpaces(c)) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {U'a', U'1', U'\u00E9', U'\u0416', U'\u05D0', U'\uAC00', U' '})
        EXPECT_FALSE(isOfScriptWithoutWordSpaces(c)) << std::hex << static_cast<uint32_t>(c);
}
