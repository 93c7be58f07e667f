// Number recognition: one table per thousands-separator setting, covering
// every shape and every way a text could be misread as a different number.

#include "excel/analysis/QVExcelNumber.h"
#include "excel/analysis/QVNumberUtils.h"
#include "excel/analysis/QVRegex.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

// The value is the number and nothing else; the format shows it as printed:
// its decimals, grouping, sign, percent sign and currency symbol (numID 0 is
// General, 9 "0%", 10 "0.00%", -1 the code given).
const NumberCase kCommaFamily[] = {
    // Plain numbers keep their decimals.
    {u"1234", true, 0, 0, "1234"},
    {u"12.50", true, 0, -1, "12.50", "0.00"},
    {u"25.0", true, 0, -1, "25.0", "0.0"},
    {u"0.80", true, 0, -1, "0.80", "0.00"},
    {u"0", true, 0, 0, "0"},
    {u"0.5", true, 0, -1, "0.5", "0.0"},
    {u"-7", true, 0, 0, "-7"},
    {u"  42  ", true, 0, 0, "42"},
    {u".5", true, 0, -1, "0.5", "#.0"},
    {u"-.25", true, 0, -1, "-0.25", "#.00"},
    {u"12345678901", true, 0, 0, "12345678901"},
    {u"123456789012", true, 0, -1, "123456789012", "0"}, // General would turn it to 1.2E+11
    // Blanks group thousands only in threes, and the format keeps them.
    {u"1 234", true, 0, -1, "1234", "#\\ ##0"},
    {u"100 000", true, 0, -1, "100000", "#\\ ##0"},
    {u"12 345 678.5", true, 0, -1, "12345678.5", "#\\ ###\\ ##0.0"},
    {u"1\u00A0234", true, 0, -1, "1234", "#\\\u00A0##0"},
    {u"2019 2020", false},
    {u"1 23", false},
    {u"1 2345", false},
    {u"1  234", false},
    {u"1 234,567", false}, // two kinds of grouping
    {u"- 5", false},
    // Thousands grouping.
    {u"1,234", true, 2, -1, "1234", "#,##0"},
    {u"1,234.567", true, 2, -1, "1234.567", "#,##0.000"},
    {u"-12,345,678.90", true, 2, -1, "-12345678.90", "#,##0.00"},
    {u"1,23", false},
    {u"1,2345", false},
    {u"1234,567", false},
    {u",234", false},
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
    {u"(+5)", false},
    {u"()", false},
    {u"(", false},
    // Signs: an en dash and a minus sign are negative and shown as printed; a
    // plus sign is positive and shown too (columns of changes).
    {u"+12", true, 0, -1, "12", "+0;-0"},
    {u"+3.2%", true, 9, -1, "0.032", "+0.0%;-0.0%"},
    {u"\u20131.4%", true, 9, -1, "-0.014", "0.0%;\"\u2013\"0.0%"},
    {u"\u20133,150", true, 2, -1, "-3150", "#,##0;\"\u2013\"#,##0"},
    {u"\u22122 500", true, 0, -1, "-2500", "#\\ ##0;\"\u2212\"#\\ ##0"},
    {u"\u22127.5", true, 0, -1, "-7.5", "0.0;\"\u2212\"0.0"},
    {u"\u22120.0%", true, 9, -1, "0", "\"\u2212\"0.0%"}, // zero keeps its printed sign
    {u"-0.0", true, 0, -1, "-0.0", "-0.0"},
    {u"\uFF0B5", true, 0, -1, "5", "+0;-0"},
    {u"+-5", false},
    {u"--5", false},
    {u"+ 5", false},
    {u"5-", false},
    {u"2\u20133", false},
    // Currency.
    {u"$1,234", true, 4, -1, "1234", "$#,##0"},
    {u"-$1,234.50", true, 4, -1, "-1234.50", "$#,##0.00"},
    {u"$ 12", true, 4, -1, "12", "$\\ #,##0"},
    {u"\u00A5300", true, 4, -1, "300", "\u00A5#,##0"},
    {u"5 \u20AC", true, 6, -1, "5", "#,##0\\ \u20AC"},
    {u"1,234.5\u20AC", true, 6, -1, "1234.5", "#,##0.0\u20AC"},
    {u"$-5", false},
    {u"$5$", false},
    {u"- $5", false},
    {u"$1234", false}, // a currency amount groups its thousands
    // Percentages: the value is exact, whatever the number of decimals.
    {u"50%", true, 9, 9, "0.5"},
    {u"12.5%", true, 9, -1, "0.125", "0.0%"},
    {u"40.5%", true, 9, -1, "0.405", "0.0%"},
    {u"12.50%", true, 9, 10, "0.125"},
    {u"100%", true, 9, 9, "1"},
    {u"-5%", true, 9, 9, "-0.05"},
    {u"0.00001%", true, 9, -1, "0.0000001", "0.00000%"},
    {u"1234.5678%", true, 9, -1, "12.345678", "0.0000%"},
    {u"0%", true, 9, 9, "0"},
    {u".2%", true, 9, -1, "0.002", "#.0%"},
    {u"50 %", true, 9, -1, "0.5", "0\\ %"},
    {u"5%%", false},
    {u"1,234%", false},
    {u"50  %", false},
    {u"%", false},
    // Leading zeros are codes (zip codes, account numbers), not numbers.
    {u"007", false},
    {u"00.5", false},
    {u"-01", false},
    {u"0,123", false},
    {u"01234%", false},
    // More than 15 significant digits cannot be held exactly.
    {u"123456789012345", true, 0, -1, "123456789012345", "0"},
    {u"1234567890123456", false},
    {u"0.000123456789012345", true, 0, -1, "0.000123456789012345", "0.000000000000000000"},
    {u"1.234567890123456", false},
    {u"123,456,789,012,345,678", false},
    // Fullwidth digits and signs are read; the value is ASCII.
    {u"\uFF11\uFF12\uFF13", true, 0, 0, "123"},
    {u"\uFF11\uFF0C\uFF12\uFF13\uFF14", true, 2, -1, "1234", "#,##0"},
    {u"\uFFE5\uFF15\uFF10\uFF10", true, 4, -1, "500", "\uFFE5#,##0"},
    {u"\uFF15\uFF10\uFF05", true, 9, 9, "0.5"},
    // Other shapes are text.
    {u"", false},
    {u"   ", false},
    {u"5.", false},
    {u".", false},
    {u"1e3", false},
    {u"1.2.3", false},
    {u"12a", false},
    {u"-", false},
    {u"+", false},
    {u"\u2013", false},
    {u"$", false},
    {u"3,14", false},
};

const NumberCase kDotFamily[] = {
    {u"3,14", true, 1, -1, "3.14", "0.00"},
    {u"1234", true, 1, 0, "1234"},
    {u"1 234,5", true, 1, -1, "1234.5", "#\\ ##0.0"},
    {u"1.234", true, 3, -1, "1234", "#,##0"},
    {u"1.234,5", true, 3, -1, "1234.5", "#,##0.0"},
    {u"-1.234.567,89", true, 3, -1, "-1234567.89", "#,##0.00"},
    {u"(1.234)", true, 3, -1, "-1234", "#,##0;(#,##0)"},
    {u"\u20131.234", true, 3, -1, "-1234", "#,##0;\"\u2013\"#,##0"},
    {u"1.234,5 \u20AC", true, 7, -1, "1234.5", "#,##0.0\\ \u20AC"},
    {u"1 234,50 \u20AC", true, 7, -1, "1234.50", "#\\ ##0.00\\ \u20AC"},
    {u"\u20AC 1.000", true, 5, -1, "1000", "\u20AC\\ #,##0"},
    {u"12,5%", true, 8, -1, "0.125", "0.0%"},
    {u"+12,5 %", true, 8, -1, "0.125", "+0.0\\ %;-0.0\\ %"},
    {u"50%", true, 8, 9, "0.5"},
    {u",5", true, 1, -1, "0.5", "#.0"},
    {u"0,5", true, 1, -1, "0.5", "0.0"},
    {u"1,234.50", false},
    {u"1.5", false},
    {u"1.23", false},
    {u"1,5,2", false},
    {u"007", false},
    {u"12.5%", false},
    {u".5", false},
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

TEST(QVExcelNumberTest, ABlankBetweenJoinedPiecesNeverGroupsDigits) {
    // Offsets where a piece of the run's text begins: "100" and "000" drawn
    // apart and joined with a blank are two numbers, not one hundred thousand.
    const struct {
        const char16_t* text;
        std::vector<uint32_t> pieceStarts;
        const char* value; // nullptr: stays text
    } cases[] = {
        {u"100 000", {}, "100000"},    {u"100 000", {3}, nullptr}, // "100" + " 000"
        {u"100 000", {4}, nullptr},                                // "100 " + "000"
        {u"100 000", {3, 4}, nullptr}, // "100", a blank put between, "000"
        {u"1 234 567", {5}, nullptr},  {u"1 234 567", {3, 7}, "1234567"}, // pieces joined inside
                                                                          // the digits
        {u"(100 000)", {5}, nullptr},  {u"(100 000)", {1}, "-100000"},    {u"  42", {2}, "42"},
        {u"50 %", {3}, "0.5"}, // a percent sign drawn apart is no second number
        {u"$ 12", {1}, "12"},  // the blank beside a symbol groups nothing
    };
    for (const auto& c : cases) {
        QVExcelNumber n(c.text, ",", c.pieceStarts);
        const std::string label = QVNumberUtils::utf8(c.text) + " @" +
                                  std::to_string(c.pieceStarts.empty() ? 0 : c.pieceStarts[0]);
        ASSERT_EQ(n.isNumber(), c.value != nullptr) << label;
        if (c.value) {
            EXPECT_EQ(*n.readNumber(), c.value) << label;
        }
    }
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
