#include "docx/QVDocxDrawCounters.h"
#include "docx/QVDocxUtilities.h"

#include "DocxXmlFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

using docxfixture::childNames;
using docxfixture::WrittenXml;
using Names = std::vector<std::string>;

namespace {

pugi::xml_node writtenRPr(const WrittenXml& xml) { return xml.root().child("w:rPr"); }

TEST(QVDocxRecords, EqualityTestsCompareWhatTheWritersShow) {
    const QVDocx_RPr base = QVDocxUtilities::defaultRProperty();
    struct Case {
        const char* what;
        void (*change)(QVDocx_RPr&);
        bool metricsEqual;
        bool equal;
    };
    const Case cases[] = {
        {"colour", [](QVDocx_RPr& r) { r.color.red = 255; }, true, false},
        {"alpha", [](QVDocx_RPr& r) { r.color.alpha = 128; }, true, false},
        {"bold", [](QVDocx_RPr& r) { r.b = 1; }, true, false},
        {"italic", [](QVDocx_RPr& r) { r.i = 1; }, true, false},
        {"underline", [](QVDocx_RPr& r) { r.u = 1; }, true, false},
        {"script", [](QVDocx_RPr& r) { r.scrpit = 1; }, true, true},
        {"noProof", [](QVDocx_RPr& r) { r.noProof = 0; }, true, true},
        {"other font names", [](QVDocx_RPr& r) { r.rFonts.eastAsia = "SimSun"; }, true, true},
        {"size without tolerance", [](QVDocx_RPr& r) { r.sz = 12.0001f; }, false, false},
        {"scale", [](QVDocx_RPr& r) { r.w = 90; }, false, false},
        {"character spacing", [](QVDocx_RPr& r) { r.spacing = 0.5f; }, false, false},
        {"font", [](QVDocx_RPr& r) { r.rFonts.ascii = "Arial"; }, false, false},
        // The same name in another buffer is the same font.
        {"font copy", [](QVDocx_RPr& r) { r.rFonts.ascii = std::string("Times ") + "New Roman"; },
         true, true},
    };
    for (const Case& c : cases) {
        QVDocx_RPr other = base;
        c.change(other);
        EXPECT_EQ(QVDocx_RPrMetricsIsEqual(base, other), c.metricsEqual) << c.what;
        EXPECT_EQ(QVDocx_RPrIsEqual(base, other), c.equal) << c.what;
    }
}

TEST(QVDocxRecords, CountersRestartPerDocumentAndDrawOrderPerPage) {
    QVDocx_NextDrawIndex = 7;
    QVDocx_NextPictZIndex = 3;
    QVDocx_NextTextBoxZIndex = 9;
    QVDocx_FormatVersion = 0;
    QVDocx_ResetCountersForDocument();
    EXPECT_EQ(QVDocx_NextDrawIndex++, 0u);
    EXPECT_EQ(QVDocx_NextPictZIndex++, -251657498);
    EXPECT_EQ(QVDocx_NextTextBoxZIndex++, 1);
    EXPECT_EQ(QVDocx_FormatVersion, 2006);
    QVDocx_ResetCountersForPage();
    EXPECT_EQ(QVDocx_NextDrawIndex, 0u);
    // Stacking order runs on across pages.
    EXPECT_EQ(QVDocx_NextPictZIndex, -251657497);
    EXPECT_EQ(QVDocx_NextTextBoxZIndex, 2);
}

TEST(QVDocxSerialisation, RunPropertiesFollowTheSchemaOrder) {
    QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
    r.rFonts.ascii = "Arial";
    r.b = r.i = 1;
    r.u = 1;
    r.color = {255, 0, 0, 255};
    r.scrpit = 2;
    r.spacing = 0.5f;
    r.w = 99.5f;
    r.sz = 10.5f;
    WrittenXml xml([&](XMLFileWriter& w) { QVDocxUtilities::WriteRProperty(r, w); });
    const pugi::xml_node rPr = writtenRPr(xml);
    EXPECT_EQ(childNames(rPr), (Names{"w:rFonts", "w:b", "w:bCs", "w:i", "w:iCs", "w:noProof",
                                      "w:color", "w:spacing", "w:w", "w:sz", "w:szCs", "w:u",
                                      "w:vertAlign"}));
    for (const char* a : {"w:ascii", "w:hAnsi", "w:cs", "w:eastAsia"})
        EXPECT_STREQ(rPr.child("w:rFonts").attribute(a).value(), "Arial") << a;
    EXPECT_STREQ(rPr.child("w:color").attribute("w:val").value(), "FF0000");
    EXPECT_STREQ(rPr.child("w:u").attribute("w:val").value(), "single");
    EXPECT_STREQ(rPr.child("w:u").attribute("w:color").value(), "FF0000");
    EXPECT_STREQ(rPr.child("w:vertAlign").attribute("w:val").value(), "subscript");
    EXPECT_STREQ(rPr.child("w:spacing").attribute("w:val").value(), "10");
    EXPECT_STREQ(rPr.child("w:w").attribute("w:val").value(), "100"); // rounded, still written
    EXPECT_STREQ(rPr.child("w:sz").attribute("w:val").value(), "21");
    EXPECT_STREQ(rPr.child("w:szCs").attribute("w:val").value(), "21");
}

TEST(QVDocxSerialisation, PlainRunWritesOnlyTheAlwaysPresentChildren) {
    struct Case {
        const char* what;
        void (*change)(QVDocx_RPr&);
    };
    const Case cases[] = {
        {"defaults", [](QVDocx_RPr&) {}},
        {"negative character spacing", [](QVDocx_RPr& r) { r.spacing = -1; }},
        {"underline kind without a keyword", [](QVDocx_RPr& r) { r.u = 3; }},
        {"script kind without a keyword", [](QVDocx_RPr& r) { r.scrpit = 7; }},
    };
    for (const Case& c : cases) {
        QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
        c.change(r);
        WrittenXml xml([&](XMLFileWriter& w) { QVDocxUtilities::WriteRProperty(r, w); });
        EXPECT_EQ(childNames(writtenRPr(xml)),
                  (Names{"w:rFonts", "w:noProof", "w:color", "w:sz", "w:szCs"}))
            << c.what;
    }
}

TEST(QVDocxSerialisation, LengthsRoundToNearestWithHalvesToEven) {
    const struct {
        float points;
        const char* twips;
        const char* halfPoints;
    } cases[] = {
        {10.5f, "210", "21"},
        {10.25f, "205", "20"}, // 20.5 half-points go down to even
        {10.75f, "215", "22"}, // 21.5 go up to even
        {0.025f, "0", "0"},    // 0.5 twips
        {-0.01f, "0", "0"},    // no "-0"
        {612.0f, "12240", "1224"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QVDocxUtilities::twips(c.points), c.twips) << c.points;
        EXPECT_EQ(QVDocxUtilities::halfPoints(c.points), c.halfPoints) << c.points;
    }
}

TEST(QVDocxSerialisation, ColourComponentsOutsideTheByteRangeStaySixDigits) {
    EXPECT_EQ(QVDocxUtilities::hexColor({300, -4, 171, 255}), "FF00AB");
}

TEST(QVDocxSerialisation, ChineseFontsAreWrittenByTheirChineseNames) {
    const struct {
        const char* name;
        const char* written;
    } cases[] = {{"SimSun", "宋体"}, {"Songti SC", "宋体"}, {"MicrosoftYaHei", "微软雅黑"},
                 {"simsun", "simsun"}, {"Arial", "Arial"}};
    for (const auto& c : cases) {
        QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
        r.rFonts.ascii = c.name;
        WrittenXml xml([&](XMLFileWriter& w) { QVDocxUtilities::WriteRProperty(r, w); });
        for (const char* a : {"w:ascii", "w:hAnsi", "w:cs", "w:eastAsia"})
            EXPECT_STREQ(writtenRPr(xml).child("w:rFonts").attribute(a).value(), c.written)
                << c.name << " " << a;
    }
}

TEST(QVDocxSerialisation, FontNameWithInvalidBytesIsWrittenAsValidText) {
    QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
    r.rFonts.ascii = "\xCB\xCE\xCC\xE5"; // GBK bytes of 宋体, not UTF-8
    WrittenXml xml([&](XMLFileWriter& w) { QVDocxUtilities::WriteRProperty(r, w); });
    EXPECT_TRUE(writtenRPr(xml).child("w:rFonts")); // the part parsed
}

TEST(QVDocxSerialisation, ParagraphPropertiesCarryMarkAndSection) {
    QVDocx_PPr p = QVDocxUtilities::defaultPProperty();
    p.spacing.before = 3;
    p.spacing.line = 13.8f;
    p.ind.firstLine = -4;
    QVDocx_SectPr s = QVDocxUtilities::defaultSectProperty();
    s.write = 1;
    WrittenXml xml([&](XMLFileWriter& w) {
        QVDocxUtilities::WritePProperty(p, QVDocxUtilities::defaultRProperty(), s, {}, w);
    });
    const pugi::xml_node pPr = xml.root().child("w:pPr");
    EXPECT_EQ(childNames(pPr), (Names{"w:spacing", "w:ind", "w:jc", "w:rPr", "w:sectPr"}));
    const pugi::xml_node spacing = pPr.child("w:spacing");
    EXPECT_STREQ(spacing.attribute("w:before").value(), "60");
    EXPECT_STREQ(spacing.attribute("w:after").value(), "0");
    EXPECT_STREQ(spacing.attribute("w:line").value(), "276");
    EXPECT_STREQ(spacing.attribute("w:lineRule").value(), "exact");
    EXPECT_STREQ(pPr.child("w:ind").attribute("w:firstLine").value(), "-80");
    EXPECT_STREQ(pPr.child("w:ind").attribute("w:left").value(), "1200");
    EXPECT_STREQ(pPr.child("w:jc").attribute("w:val").value(), "left");
}

TEST(QVDocxSerialisation, SectionProperties) {
    QVDocx_SectPr unwritten = QVDocxUtilities::defaultSectProperty();
    WrittenXml none([&](XMLFileWriter& w) { QVDocxUtilities::WriteSectProperty(unwritten, w); });
    EXPECT_TRUE(childNames(none.root()).empty());

    QVDocx_SectPr bare = QVDocxUtilities::defaultSectProperty();
    bare.write = 1;
    bare.type = 0;
    bare.docGrid.type.reset();
    bare.cols.equalWidth = 0; // one column: no columns element whatever its width
    WrittenXml plain([&](XMLFileWriter& w) { QVDocxUtilities::WriteSectProperty(bare, w); });
    EXPECT_EQ(childNames(plain.root().child("w:sectPr")), (Names{"w:pgSz", "w:pgMar"}));

    QVDocx_SectPr cols = QVDocxUtilities::defaultSectProperty();
    cols.write = 1;
    cols.pgMar.header = 5; // header, footer and gutter are always 0
    cols.cols.num = 2;
    cols.cols.equalWidth = 0;
    cols.cols.col = {{18, 200}, {0, 250.5f}};
    WrittenXml full([&](XMLFileWriter& w) { QVDocxUtilities::WriteSectProperty(cols, w); });
    const pugi::xml_node sect = full.root().child("w:sectPr");
    EXPECT_EQ(childNames(sect), (Names{"w:type", "w:pgSz", "w:pgMar", "w:cols", "w:docGrid"}));
    EXPECT_STREQ(sect.child("w:type").attribute("w:val").value(), "continuous");
    EXPECT_STREQ(sect.child("w:pgSz").attribute("w:w").value(), "11560");
    EXPECT_STREQ(sect.child("w:pgSz").attribute("w:h").value(), "12800");
    EXPECT_STREQ(sect.child("w:pgMar").attribute("w:top").value(), "1260");
    EXPECT_STREQ(sect.child("w:pgMar").attribute("w:header").value(), "0");
    const pugi::xml_node c = sect.child("w:cols");
    EXPECT_STREQ(c.attribute("w:num").value(), "2");
    EXPECT_STREQ(c.attribute("w:equalWidth").value(), "0");
    EXPECT_EQ(childNames(c), (Names{"w:col", "w:col"}));
    EXPECT_STREQ(c.child("w:col").attribute("w:w").value(), "4000");
    EXPECT_STREQ(c.child("w:col").attribute("w:space").value(), "360");
    EXPECT_STREQ(c.child("w:col").next_sibling("w:col").attribute("w:w").value(), "5010");
    EXPECT_STREQ(sect.child("w:docGrid").attribute("w:type").value(), "lines");
    EXPECT_STREQ(sect.child("w:docGrid").attribute("w:linePitch").value(), "312");
}

TEST(QVDocxSerialisation, ColumnCountBeyondItsEntriesWritesOnlyTheEntries) {
    QVDocx_SectPr s = QVDocxUtilities::defaultSectProperty();
    s.write = 1;
    s.cols.num = 3;
    s.cols.col = {{10, 100}};
    WrittenXml xml([&](XMLFileWriter& w) { QVDocxUtilities::WriteSectProperty(s, w); });
    EXPECT_EQ(childNames(xml.root().child("w:sectPr").child("w:cols")), (Names{"w:col"}));
}

TEST(QVDocxSerialisation, TextPathStyle) {
    QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
    r.rFonts.ascii = "Arial";
    EXPECT_EQ(QVDocxUtilities::TextPathStyleForRProperty(r),
              "font-family:Arial;font-size:24pt;v-text-kern:t;mso-text-shadow:auto");
    r.b = r.i = 1;
    EXPECT_EQ(QVDocxUtilities::TextPathStyleForRProperty(r),
              "font-family:Arial;font-weight:bold;font-style:italic;font-size:24pt;"
              "v-text-kern:t;mso-text-shadow:auto");
}

TEST(QVDocxSerialisation, TemplatesAreLookedUpInTheirBundle) {
    EXPECT_FALSE(QVDocxUtilities::PathInLibBundleForResource("Docx XML Templates/no-such.xml"));
}

} // namespace
