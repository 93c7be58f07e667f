// Number recognition: one table per thousands-separator setting, covering
// every shape and every way a text could be misread as a different number.

#include "excel/QVExcelNumber.h"
#include "excel/QVNumberUtils.h"
#include "excel/QVRegex.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct NumberCase {
    const char16_t* text;
    bool isNumber;
    uint64_t type = 0;
    int32_t numID = 0;
    const char* value = nullptr;
    const char* formatCode = nullptr; // nullptr: no custom code
};

void expectCase(const NumberCase& c, const char* separator) {
    QVExcelNumber n(c.text, separator);
    std::string label = QVNumberUtils::utf8(c.text);
    ASSERT_EQ(n.isNumber(), c.isNumber) << label;
    if (!c.isNumber) {
        EXPECT_FALSE(n.readNumber()) << label;
        EXPECT_FALSE(n.formatCode()) << label;
        return;
    }
    EXPECT_EQ(n.type(), c.type) << label;
    EXPECT_EQ(n.numID(), c.numID) << label;
    ASSERT_TRUE(n.readNumber()) << label;
    EXPECT_EQ(*n.readNumber(), c.value) << label;
    if (c.formatCode) {
        ASSERT_TRUE(n.formatCode()) << label;
        EXPECT_EQ(*n.formatCode(), c.formatCode) << label;
    } else {
        EXPECT_FALSE(n.formatCode()) << label;
    }
}

const NumberCase kCommaFamily[] = {
    // Plain numbers.
    {u"1234", true, 0, 0, "1234"},
    {u"12.50", true, 0, 0, "12.50"},
    {u"0", true, 0, 0, "0"},
    {u"0.5", true, 0, 0, "0.5"},
    {u"-7", true, 0, 0, "-7"},
    {u"  42  ", true, 0, 0, "42"},
    // Spaces group thousands only in threes; the value loses nothing.
    {u"1 234", true, 0, 0, "1234"},
    {u"12 345 678.5", true, 0, 0, "12345678.5"},
    {u"1\u00A0234", true, 0, 0, "1234"},
    {u"2019 2020", false},
    {u"1 23", false},
    {u"1 2345", false},
    {u"1 234,567", false}, // two kinds of grouping
    {u"- 5", false},
    // Thousands grouping.
    {u"1,234", true, 2, -1, "1234", "#,##0"},
    {u"1,234.567", true, 2, -1, "1234.567", "#,##0.000"},
    {u"-12,345,678.90", true, 2, -1, "-12345678.90", "#,##0.00"},
    {u"1,23", false},
    {u"1,2345", false},
    {u"1234,567", false},
    // Parentheses around the whole number make it negative, and the format shows them.
    {u"(1,234)", true, 2, -1, "-1234", "#,##0;(#,##0)"},
    {u"(12.5)", true, 0, -1, "-12.5", "0.0;(0.0)"},
    {u"(7)", true, 0, -1, "-7", "0;(0)"},
    {u"($1,234.50)", true, 4, -1, "-1234.50", "$#,##0.00;($#,##0.00)"},
    {u"(50%)", true, 9, -1, "-0.5", "0%;(0%)"},
    {u"(555) 1234", false},
    {u"(555)1234", false},
    {u"12(3)", false},
    {u"(-5)", false},
    {u"()", false},
    {u"(", false},
    // Currency.
    {u"$1,234", true, 4, -1, "1234", "$#,##0"},
    {u"-$1,234.50", true, 4, -1, "-1234.50", "$#,##0.00"},
    {u"$ 12", true, 4, -1, "12", "$#,##0"},
    {u"\u00A5300", true, 4, -1, "300", "\u00A5#,##0"},
    {u"5 \u20AC", true, 6, -1, "5", "#,##0\u20AC"},
    {u"1,234.5\u20AC", true, 6, -1, "1234.5", "#,##0.0\u20AC"},
    {u"$-5", false},
    {u"$5$", false},
    {u"- $5", false},
    {u"$1234", false}, // a currency amount groups its thousands
    // Percentages: the value is exact, whatever the number of decimals.
    {u"50%", true, 9, 9, "0.5"},
    {u"12.5%", true, 9, 10, "0.125"},
    {u"100%", true, 9, 9, "1"},
    {u"-5%", true, 9, 9, "-0.05"},
    {u"0.00001%", true, 9, 10, "0.0000001"},
    {u"1234.5678%", true, 9, 10, "12.345678"},
    {u"0%", true, 9, 9, "0"},
    {u"5%%", false},
    {u"1,234%", false},
    {u"50 %", false},
    // Leading zeros are codes (zip codes, account numbers), not numbers.
    {u"007", false},
    {u"00.5", false},
    {u"-01", false},
    {u"0,123", false},
    {u"01234%", false},
    // More than 15 significant digits cannot be held exactly.
    {u"123456789012345", true, 0, 0, "123456789012345"},
    {u"1234567890123456", false},
    {u"0.000123456789012345", true, 0, 0, "0.000123456789012345"},
    {u"1.234567890123456", false},
    {u"123,456,789,012,345,678", false},
    // Fullwidth digits and signs are read; the value is ASCII.
    {u"\uFF11\uFF12\uFF13", true, 0, 0, "123"},
    {u"\uFF11\uFF0C\uFF12\uFF13\uFF14", true, 2, -1, "1234", "#,##0"},
    {u"\uFFE5\uFF15\uFF10\uFF10", true, 4, -1, "500", "\uFFE5#,##0"},
    {u"\uFF15\uFF10\uFF05", true, 9, 9, "0.5"},
    {u"\u22123.5", true, 0, 0, "-3.5"},
    // Other shapes are text.
    {u"", false},
    {u"   ", false},
    {u"+5", false},
    {u".5", false},
    {u"5.", false},
    {u"1e3", false},
    {u"1.2.3", false},
    {u"12a", false},
    {u"-", false},
    {u"$", false},
    {u"3,14", false},
};

const NumberCase kDotFamily[] = {
    {u"3,14", true, 1, 0, "3.14"},
    {u"1234", true, 1, 0, "1234"},
    {u"1 234,5", true, 1, 0, "1234.5"},
    {u"1.234", true, 3, -1, "1234", "#,##0"},
    {u"1.234,5", true, 3, -1, "1234.5", "#,##0.0"},
    {u"-1.234.567,89", true, 3, -1, "-1234567.89", "#,##0.00"},
    {u"(1.234)", true, 3, -1, "-1234", "#,##0;(#,##0)"},
    {u"1.234,5 \u20AC", true, 7, -1, "1234.5", "#,##0.0\u20AC"},
    {u"1 234,50 \u20AC", true, 7, -1, "1234.50", "#,##0.00\u20AC"},
    {u"\u20AC 1.000", true, 5, -1, "1000", "\u20AC#,##0"},
    {u"12,5%", true, 8, 10, "0.125"},
    {u"50%", true, 8, 9, "0.5"},
    {u"1,234.50", false},
    {u"1.5", false},
    {u"1.23", false},
    {u"1,5,2", false},
    {u"007", false},
    {u"0,5", true, 1, 0, "0.5"},
    {u"12.5%", false},
    {u"2019 2020", false},
};

TEST(QVExcelNumberTest, CommaFamilyTable) {
    for (const auto& c : kCommaFamily)
        expectCase(c, ",");
}

TEST(QVExcelNumberTest, DotFamilyTable) {
    for (const auto& c : kDotFamily)
        expectCase(c, ".");
}

TEST(QVExcelNumberTest, SeparatorsAndSymbolOfTheShape) {
    QVExcelNumber euro(u"1.234,5 \u20AC", ".");
    EXPECT_EQ(euro.thousandSepartor(), ".");
    EXPECT_EQ(euro.decimalSepartor(), ",");
    ASSERT_TRUE(euro.currencySymbol());
    EXPECT_EQ(*euro.currencySymbol(), "\u20AC");

    QVExcelNumber plain(u"3,14", ".");
    EXPECT_EQ(plain.decimalSepartor(), ",");
    EXPECT_FALSE(plain.currencySymbol());

    QVExcelNumber text(u"abc", ",");
    EXPECT_EQ(text.numID(), -1);
    EXPECT_EQ(text.thousandSepartor(), ",");
    EXPECT_EQ(text.decimalSepartor(), ".");
}

TEST(QVExcelNumberTest, ShapeTestsAnswerForTheirShapeOnly) {
    const auto& symbols = QVNumberUtils::supportCurrencySymbols();
    EXPECT_TRUE(QVRegex::validateGeneralNumbersDecimalSepartorByDot(u"12.5"));
    EXPECT_FALSE(QVRegex::validateGeneralNumbersDecimalSepartorByDot(u"1,234"));
    EXPECT_TRUE(QVRegex::validateGeneralNumbersDecimalSepartorByComma(u"12,5"));
    EXPECT_TRUE(QVRegex::validatePercentNumbersDecimalSepartorByDot(u"12.5%"));
    EXPECT_TRUE(QVRegex::validatePercentNumbersDecimalSepartorByComma(u"12,5%"));
    EXPECT_TRUE(QVRegex::validateNumbersWithThousandSepartorByComma(u"1,234"));
    EXPECT_FALSE(QVRegex::validateNumbersWithThousandSepartorByComma(u"1234"));
    EXPECT_TRUE(QVRegex::validateNumbersWithThousandSepartorByDot(u"1.234"));
    EXPECT_TRUE(QVRegex::validateCurrencyNumberSBNSC(u"$1,234.5", symbols));
    EXPECT_FALSE(QVRegex::validateCurrencyNumberSBNSC(u"$1,234.5", {u"\u20AC"}));
    EXPECT_TRUE(QVRegex::validateCurrencyNumberSBNSD(u"\u20AC1.234,5", symbols));
    EXPECT_TRUE(QVRegex::validateCurrencyNumberSANSC(u"1,234.5 \u00A5", symbols));
    EXPECT_TRUE(QVRegex::validateCurrencyNumberSANSD(u"1.234,5\u20AC", symbols));
    EXPECT_FALSE(QVRegex::validateCurrencyNumberSANSD(u"\u20AC1.234,5", symbols));

    EXPECT_EQ(QVRegex::currencySymbols(std::nullopt), u"$\uFFE5\u00A5\u20AC");
    EXPECT_EQ(QVRegex::currencySymbols(std::vector<std::u16string>{}), u"$\uFFE5\u00A5\u20AC");
    EXPECT_EQ(QVRegex::currencySymbols(std::vector<std::u16string>{u"$", u"\u20AC"}), u"$\u20AC");
}

TEST(QVExcelNumberTest, NumberUtilities) {
    EXPECT_EQ(QVNumberUtils::getSymbol(u"12 \u20AC"), u"\u20AC");
    EXPECT_EQ(QVNumberUtils::getSymbol(u"\uFFE5 and \u00A5"), u"\uFFE5");
    EXPECT_EQ(QVNumberUtils::getSymbol(u"12"), u"");
    EXPECT_EQ(QVNumberUtils::numberCodeWithDecimalLength(0), "#,##0");
    EXPECT_EQ(QVNumberUtils::numberCodeWithDecimalLength(2), "#,##0.00");
    EXPECT_EQ(QVNumberUtils::numberCodeWithDecimalLength(-1), "#,##0");
    EXPECT_EQ(QVNumberUtils::currencyFormatWithDecimalLength(1, u"$", 4), "$#,##0.0");
    EXPECT_EQ(QVNumberUtils::currencyFormatWithDecimalLength(0, u"\u20AC", 7), "#,##0\u20AC");
}

} // namespace
