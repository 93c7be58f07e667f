#include "pdf/font/QVPDFFontUtilities.h"

#include "fixtures/PdfBuilder.h"
#include "pdf/font/FontTestSupport.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

using U = QVPDFFontUtilities;

TEST(QVPDFFontUtilities, BoldAndItalicFromNames) {
    const std::tuple<const char*, bool, bool> rows[] = {
        {"Arial-BoldMT", true, false},
        {"Foo-Bd", true, false},
        {"Bar-Blk", true, false},
        {"HeiseiMin-W3", false, false},
        {"Century-Md", false, false},
        {"Helvetica-Oblique", false, true},
        {"TimesNewRomanPS-ItalicMT", false, true},
        {"Italica", false, true},
        {"Arial,BoldItalic", true, true},
        {"", false, false},
    };
    for (const auto& [name, bold, italic] : rows) {
        EXPECT_EQ(U::isBoldFontName(std::string(name)), bold) << name;
        EXPECT_EQ(U::isItalicFontName(std::string(name)), italic) << name;
    }
    EXPECT_FALSE(U::isBoldFontName(std::nullopt));
    EXPECT_FALSE(U::isItalicFontName(std::nullopt));
}

TEST(QVPDFFontUtilities, FamilyNameCut) {
    const std::pair<const char*, const char*> rows[] = {{"Arial-BoldMT", "Arial"},
                                                        {"Arial,Bold", "Arial"},
                                                        {"ABCDEF+Calibri", "ABCDEF+Calibri"},
                                                        {"-Foo", ""},
                                                        {"A,B-C", "A,B"},
                                                        {"", ""}};
    for (const auto& [name, cut] : rows)
        EXPECT_EQ(U::FamilyNameCut(name), cut) << name;
}

TEST(QVPDFFontUtilities, ScoreRows) {
    const std::tuple<const char*, const char*, double> rows[] = {
        {"Helvetica", "Helvetica", 1.0},
        {"Arial-BoldMT", "Arial", 0.73182},
        {"ArialMT", "Arial", 0.83571},
        {"Arial", "Helvetica", 0.05983},
        {"123-456", "Arial", 0.0}, // no cased letters: no score, no division by zero
        {"Arial", "", 0.0},
        {"", "", 0.0},
        {"\xC3\x89lan", "Elan", 1.0}, // the accent goes with the decomposition
    };
    for (const auto& [string, abbreviation, expected] : rows)
        EXPECT_NEAR(U::score(string, abbreviation, 0.8), expected, 5e-5)
            << string << " / " << abbreviation;
    EXPECT_EQ(U::score("Arial", "Xyz", std::nullopt), 0.0);
    EXPECT_GT(U::score("Arial", "Axial", 0.8), 0.0);
}

U::Catalogue smallCatalogue() {
    return {
        {"Arial", {{"ArialMT", "Arial"}, {"Arial-BoldMT", "Arial Bold"}}},
        {"Helvetica", {{"Helvetica", "Helvetica"}}},
        {"Hiragino Sans", {{"HiraginoSans-W3", "Hiragino Sans W3"}}},
    };
}

TEST(QVPDFFontUtilities, FuzzyFamilyMatch) {
    const auto catalogue = smallCatalogue();
    const std::pair<const char*, const char*> rows[] = {
        {"ArialMT", "Arial"}, // exact PostScript name
        {"Arial-BoldMT", "Arial"},
        {"Helvetica", "Helvetica"},              // exact family
        {"Arial-ItalicMT", "Arial"},             // best score above 0.5
        {"HiraginoSans-W3", "Hiragino Sans W3"}, // family without a full-name face
        {"Zapfino", "Zapfino"},                  // nothing close: the name itself
        {"12345", "12345"},                      // no letters: the name itself
    };
    for (const auto& [name, family] : rows)
        EXPECT_EQ(U::FamilyNameFuzzyMatch(std::string(name), catalogue).value_or("<none>"), family)
            << name;
    EXPECT_FALSE(U::FamilyNameFuzzyMatch(std::string(), catalogue));
    EXPECT_FALSE(U::FamilyNameFuzzyMatch(std::nullopt, catalogue));
    EXPECT_EQ(U::FamilyNameFuzzyMatch(std::string("Foo"), U::Catalogue{}).value_or(""), "Foo");
}

TEST(QVPDFFontUtilities, ReadsTheShippedCatalogue) {
    const U::Catalogue* catalogue = U::sharedCatalogue();
    ASSERT_NE(catalogue, nullptr) << "FontBook.plist missing from the resources";
    EXPECT_GT(catalogue->size(), 20u);
    for (size_t i = 1; i < catalogue->size(); ++i)
        EXPECT_LT((*catalogue)[i - 1].name, (*catalogue)[i].name) << "catalogue order is fixed";
    const std::pair<const char*, const char*> rows[] = {
        {"ArialMT", "Arial"},
        {"TimesNewRomanPS-BoldMT", "Times New Roman"},
        {"DejaVuSans-Bold", "DejaVu Sans"},
        {"LiberationSerif-Italic", "Liberation Serif"},
        {"Carlito-Bold", "Carlito"},
        {"Calibri-Bold", "Calibri"},
    };
    for (const auto& [name, family] : rows)
        EXPECT_EQ(U::FamilyName(std::string(name)).value_or("<none>"), family) << name;
}

TEST(QVPDFFontUtilities, CatalogueFilesThatAreNotPropertyLists) {
    std::string folder = fixtures::makeTestFolder("fontbook");
    std::string bad = folder + "/bad.plist";
    platform::writeFileAtomically(bad, "<html>no plist</html>");
    EXPECT_FALSE(U::readCatalogue(bad));
    EXPECT_FALSE(U::readCatalogue(folder + "/missing.plist"));
    std::string good = folder + "/good.plist";
    platform::writeFileAtomically(
        good, "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Fam</key><dict>"
              "<key>Regular</key><dict><key>PostScript name</key><string>Fam-Regular</string>"
              "<key>Full name</key><string>Fam Regular</string></dict></dict>"
              "<key>Broken</key><string>not a dict</string></dict></plist>");
    auto catalogue = U::readCatalogue(good);
    ASSERT_TRUE(catalogue);
    ASSERT_EQ(catalogue->size(), 1u);
    EXPECT_EQ((*catalogue)[0].faces.at(0).postScriptName, "Fam-Regular");
    EXPECT_EQ((*catalogue)[0].faces.at(0).fullName, "Fam Regular");
}

TEST(QVPDFFontUtilities, TextConversions) {
    EXPECT_EQ(U::validUTF8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(U::validUTF8("caf\xE9"), "caf\xC3\xA9"); // a stray byte read as Latin-1
    EXPECT_EQ(U::validUTF8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80"); // no encoded surrogates
    EXPECT_EQ(U::textStringToUTF8(std::string("\xFE\xFF\x00"
                                              "A\x20\xAC",
                                              6)),
              "A\xE2\x82\xAC");
    EXPECT_EQ(U::textStringToUTF8("Fam\x80"), "Fam\xE2\x80\xA2"); // PDFDocEncoding bullet
    EXPECT_EQ(U::utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(U::utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
}

// Names of CJK fonts in their legacy character sets become the names they
// spell; Latin names with a stray byte stay Latin.
TEST(QVPDFFontUtilities, FontNamesInLegacyCJKSetsAreDecoded) {
    const struct {
        const char* bytes;
        const char* utf8;
    } cases[] = {
        {"\xCB\xCE\xCC\xE5", "宋体"},                                // GBK
        {"ABCDEF+\xBA\xDA\xCC\xE5", "ABCDEF+黑体"},                   // GBK after a subset tag
        {"\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9", "ＭＳ 明朝"},     // Shift-JIS
        {"\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9", "新細明體"},           // Big5
        {"Fr\xFCtiger", "Fr\xC3\xBCtiger"},                           // Latin-1, one stray byte
        {"Caf\xE9-Bold", "Caf\xC3\xA9-Bold"},
        {"Arial", "Arial"},
        {"\xE5\xAE\x8B\xE4\xBD\x93", "宋体"},                        // UTF-8 already
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U::fontNameToUTF8(c.bytes), c.utf8) << c.utf8;
    }
}

// The catalogue is read once per process, so its absence is checked in a child
// process of this test binary started without resources.
TEST(QVPDFFontUtilities, WithoutACatalogueTheDescriptorFamilyOrTheCutNameServes) {
    if (!std::getenv("CORVALA_FONTBOOK_CHILD")) {
        std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        std::string cmd =
            "CORVALA_FONTBOOK_CHILD=1 CORVALA_RESOURCES=/nonexistent '" + self +
            "' --gtest_filter=" +
            "QVPDFFontUtilities.WithoutACatalogueTheDescriptorFamilyOrTheCutNameServes"
            " >/dev/null 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        return;
    }
    EXPECT_EQ(U::sharedCatalogue(), nullptr);
    EXPECT_FALSE(U::FamilyName(std::string("ArialMT")));
    auto cut = fonttest::loadFontSource(
        "<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+Garamond-BoldItalic >>");
    EXPECT_EQ(cut.font->fontFamilyName().value_or(""), "Garamond");
    auto family = fonttest::loadFontSource(
        "<< /Type /Font /Subtype /TrueType /BaseFont /GaramondPro-Bold /FontDescriptor << "
        "/FontFamily (Garamond Premier) >> >>");
    EXPECT_EQ(family.font->fontFamilyName().value_or(""), "Garamond Premier");
}

} // namespace
