#include "pdf/font/QVPDFFontDescriptor.h"

#include "pdf/font/FontTestSupport.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<const QVPDFFontDescriptor> descriptorOf(const std::string& descriptorSource) {
    auto loaded = fonttest::loadFont([&](fixtures::PdfBuilder& b) {
        std::string fd = b.addObject(descriptorSource);
        return b.addObject("<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FontDescriptor " +
                           fd + " >>");
    });
    return loaded.font ? loaded.font->fontDescriptor() : nullptr;
}

TEST(QVPDFFontDescriptor, DescriptorRows) {
    // /Type is not required, and reals count like integers.
    auto d = descriptorOf("<< /FontName /Foo /Ascent 905.5 /Descent 250 /CapHeight 700 "
                          "/AvgWidth 441 /MaxWidth 1200.5 /MissingWidth 250 /StemV 80 "
                          "/ItalicAngle -12.5 /FontBBox [-100 -200 1000 900] >>");
    ASSERT_TRUE(d);
    EXPECT_DOUBLE_EQ(d->ascent(), 0.9055);
    EXPECT_DOUBLE_EQ(d->descent(), -0.25); // written positive by the producer
    EXPECT_DOUBLE_EQ(d->capHeight(), 700);
    EXPECT_DOUBLE_EQ(d->averageWidth(), 0.441);
    EXPECT_DOUBLE_EQ(d->maxWidth(), 1.2005);
    EXPECT_DOUBLE_EQ(d->missingWidth(), 0.25);
    EXPECT_DOUBLE_EQ(d->verticalStemWidth(), 80);
    EXPECT_DOUBLE_EQ(d->italicAngle(), -12.5);
    EXPECT_EQ(d->fontBBox(), (platform::Rect{{-0.1, -0.2}, {1.0, 0.9}}));
    EXPECT_EQ(d->fontName().value_or(""), "Foo");
    EXPECT_EQ(d->embFontNum(), 0);
    EXPECT_EQ(d->embFontSubType(), "Unknown embedded font type");
    EXPECT_EQ(d->embFullName(), "Unknown embedded font full name");
    EXPECT_EQ(d->embPostScriptName(), "Unknown embedded font postscript name");
    // Without /Flags only the serif flag is set.
    EXPECT_TRUE(d->isSerif());
    EXPECT_FALSE(d->isFixedWidth() || d->isSymbolic() || d->isItalic() || d->isBold());

    auto box3 = descriptorOf("<< /Type /FontDescriptor /FontBBox [1 2 3] >>");
    ASSERT_TRUE(box3);
    EXPECT_EQ(box3->fontBBox(), platform::Rect{});
    EXPECT_DOUBLE_EQ(box3->ascent(), 0.0);
}

TEST(QVPDFFontDescriptor, FlagsAndWeight) {
    const std::tuple<const char*, bool, bool, bool, bool> rows[] = {
        // entries, fixed, symbolic, italic, bold
        {"/Flags 64", false, false, true, false},
        {"/Flags 1", true, false, false, false},
        {"/Flags 4", false, true, false, false},
        {"/Flags 262144", false, false, false, true}, // ForceBold
        {"/Flags 32 /FontWeight 700", false, false, false, true},
        {"/Flags 32 /FontWeight 600", false, false, false, true},
        {"/Flags 32 /FontWeight 500", false, false, false, false},
    };
    for (const auto& [entries, fixed, symbolic, italic, bold] : rows) {
        auto d = descriptorOf(std::string("<< /Type /FontDescriptor ") + entries + " >>");
        ASSERT_TRUE(d) << entries;
        EXPECT_EQ(d->isFixedWidth(), fixed) << entries;
        EXPECT_EQ(d->isSymbolic(), symbolic) << entries;
        EXPECT_EQ(d->isItalic(), italic) << entries;
        EXPECT_EQ(d->isBold(), bold) << entries;
    }
}

TEST(QVPDFFontDescriptor, FamilyIsATextString) {
    auto d = descriptorOf("<< /FontFamily <FEFF0041007200690061006C> >>");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->fontFamily().value_or(""), "Arial");
    auto loaded = fonttest::loadFont([](fixtures::PdfBuilder& b) {
        std::string fd = b.addObject("<< /FontFamily (Times New Roman) >>");
        return b.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /XYZ /FontDescriptor " + fd +
                           " >>");
    });
    EXPECT_EQ(loaded.font->fontFamilyName().value_or(""), "Times New Roman");
}

struct Program {
    const char* what;
    const char* path;
    const char* key;
    const char* extra;
    int64_t kind;
    const char* subtype;
    const char* postScriptName;
    const char* fullName;
};

TEST(QVPDFFontDescriptor, EmbeddedProgramNamesThroughFreeType) {
    const Program rows[] = {
        {"TrueType", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "FontFile2", "", 2,
         "CIDType2 or TrueType", "DejaVuSans", "DejaVu Sans"},
        {"Type1", "/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1", "FontFile", "", 1,
         "Type1", "NimbusSans-Regular", "Nimbus Sans"},
        {"OpenType", "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Bold.otf", "FontFile3",
         "/Subtype /OpenType", 3, "OpenType", "NimbusRoman-Bold", "NimbusRoman-Bold"},
    };
    for (const Program& p : rows) {
        auto bytes = platform::readFile(p.path);
        ASSERT_TRUE(bytes) << p.path << " (scripts/deps installs it)";
        auto loaded = fonttest::loadFont([&](fixtures::PdfBuilder& b) {
            std::string file = b.addStream(std::string("<< ") + p.extra + " >>", *bytes);
            std::string fd = b.addObject(std::string("<< /Type /FontDescriptor /FontName /X /") +
                                         p.key + " " + file + " >>");
            return b.addObject("<< /Type /Font /Subtype /TrueType /BaseFont /X /FontDescriptor " +
                               fd + " >>");
        });
        const auto& d = loaded.font->fontDescriptor();
        ASSERT_TRUE(d) << p.what;
        EXPECT_EQ(d->embFontNum(), p.kind) << p.what;
        EXPECT_EQ(d->embFontSubType(), p.subtype) << p.what;
        EXPECT_EQ(d->embPostScriptName(), p.postScriptName) << p.what;
        EXPECT_EQ(d->embFullName(), p.fullName) << p.what;
        ASSERT_TRUE(d->embFont()) << p.what;
    }
}

TEST(QVPDFFontDescriptor, UnreadableProgramKeepsTheDefaults) {
    auto loaded = fonttest::loadFont([](fixtures::PdfBuilder& b) {
        std::string file = b.addStream("<< >>", "this is no font program");
        std::string fd = b.addObject("<< /FontFile2 " + file + " >>");
        return b.addObject("<< /Type /Font /Subtype /TrueType /BaseFont /X /FontDescriptor " + fd +
                           " >>");
    });
    const auto& d = loaded.font->fontDescriptor();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->embFontNum(), 2);
    EXPECT_FALSE(d->embFont());
    EXPECT_EQ(d->embPostScriptName(), "Unknown embedded font postscript name");
}

} // namespace
