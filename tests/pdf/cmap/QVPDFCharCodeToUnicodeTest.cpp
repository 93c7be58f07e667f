#include "pdf/cmap/QVPDFCharCodeToUnicode.h"
#include "pdf/cmap/QVPDFMapTool.h"

#include <gtest/gtest.h>

namespace {

std::string cmap(const std::string& body) {
    return "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
           "/CMapName /Test def\n" +
           body + "\nendcmap CMapName currentdict /CMap defineresource pop end end\n";
}

std::u16string text(const QVPDFCharCodeToUnicode& map, uint32_t code) {
    return map.textForCode(code);
}

TEST(QVPDFCharCodeToUnicode, MappingRows) {
    struct Row {
        const char* what;
        std::string body;
        int nBits;
        uint32_t code;
        std::u16string expected;
    } rows[] = {
        {"bfchar, one byte", "1 beginbfchar <41> <0042> endbfchar", 8, 0x41, u"B"},
        {"bfchar, two-byte source for a simple font", "1 beginbfchar <0041> <0042> endbfchar", 8,
         0x41, u"B"},
        {"bfrange", "1 beginbfrange <0010> <0012> <0041> endbfrange", 16, 0x11, u"B"},
        {"bfrange end", "1 beginbfrange <0010> <0012> <0041> endbfrange", 16, 0x12, u"C"},
        {"bfrange past end", "1 beginbfrange <0010> <0012> <0041> endbfrange", 16, 0x13, u""},
        {"bfrange array first", "1 beginbfrange <0010> <0011> [<0066> <00660069>] endbfrange", 16,
         0x10, u"f"},
        {"bfrange array ligature", "1 beginbfrange <0010> <0011> [<0066> <00660069>] endbfrange",
         16, 0x11, u"fi"},
        {"surrogate pair", "1 beginbfchar <0003> <D835DC00> endbfchar", 16, 3, u"\U0001D400"},
        {"surrogate range offset", "1 beginbfrange <0020> <0021> <D835DC00> endbfrange", 16, 0x21,
         u"\U0001D401"},
        {"zero destination", "1 beginbfchar <05> <0000> endbfchar", 8, 5, u""},
        {"empty destination", "1 beginbfchar <05> <> endbfchar", 8, 5, u""},
        {"a mapping after an empty destination wins", "2 beginbfchar <05> <> <05> <0041> endbfchar",
         8, 5, u"A"},
        {"three-byte code", "1 beginbfchar <010203> <0041> endbfchar", 16, 0x010203, u"A"},
        {"four-byte code", "1 beginbfchar <01020304> <0041> endbfchar", 16, 0x01020304, u"A"},
        {"two-digit destination", "1 beginbfchar <07> <41> endbfchar", 8, 7, u"A"},
        {"later mapping wins", "2 beginbfchar <07> <0041> <07> <0042> endbfchar", 8, 7, u"B"},
        {"odd-length source ignored", "1 beginbfchar <123> <0041> endbfchar", 16, 0x123, u""},
        {"non-hex source ignored", "1 beginbfchar <zz> <0041> endbfchar", 8, 0, u""},
        {"destination not hex", "1 beginbfchar <41> (A) endbfchar", 8, 0x41, u""},
        {"second block still read",
         "1 beginbfchar <41> <0061> endbfchar 1 beginbfrange <50> <51> <0070> endbfrange", 8, 0x51,
         u"q"},
    };
    for (const Row& r : rows) {
        auto map = QVPDFCharCodeToUnicode::parseCMap(cmap(r.body), r.nBits);
        EXPECT_EQ(text(*map, r.code), r.expected) << r.what;
    }
}

TEST(QVPDFCharCodeToUnicode, OnlyAnEmptyDestinationSilencesACode) {
    // "<>" says the code is drawn for no text (another glyph of its cluster
    // carries it); "<0000>" and a missing entry leave the code to other sources.
    auto map = QVPDFCharCodeToUnicode::parseCMap(
        cmap("3 beginbfchar <05> <> <06> <0000> <07> <> endbfchar "
             "1 beginbfchar <07> <0041> endbfchar"),
        8);
    EXPECT_TRUE(map->mapsToNothing(5));
    EXPECT_FALSE(map->mapsToNothing(6));
    EXPECT_FALSE(map->mapsToNothing(7)); // mapped again later
    EXPECT_FALSE(map->mapsToNothing(8));
}

TEST(QVPDFCharCodeToUnicode, BytesThatAreNotUtf8DoNotDiscardTheMap) {
    std::string body = "% \xFF\xFE producer junk \x80\n1 beginbfchar <41> <00E9> endbfchar";
    auto map = QVPDFCharCodeToUnicode::parseCMap(cmap(body), 8);
    EXPECT_EQ(text(*map, 0x41), u"\u00E9");
}

TEST(QVPDFCharCodeToUnicode, MapToUnicodeHonoursTheRoom) {
    auto map = QVPDFCharCodeToUnicode::parseCMap(
        cmap("1 beginbfchar <0001> <006600660069> endbfchar"), 16);
    uint32_t u[4] = {0, 0, 0, 0};
    EXPECT_EQ(map->mapToUnicode(1, u, 2), 2);
    EXPECT_EQ(u[0], 0x66u);
    EXPECT_EQ(u[1], 0x66u);
    EXPECT_EQ(u[2], 0u);
    EXPECT_EQ(map->mapToUnicode(1, u, 0), 0);
    EXPECT_EQ(map->mapToUnicode(0x7FFFFFFF, u, 4), 0);
}

TEST(QVPDFCharCodeToUnicode, SpaceCodeAndCodeSpaceRanges) {
    auto map = QVPDFCharCodeToUnicode::parseCMap(
        cmap("1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
             "2 beginbfchar <0003> <0020> <0009> <0020> endbfchar"),
        16);
    EXPECT_EQ(map->spaceCIDCode(), 3u);
    ASSERT_EQ(map->codeSpaceRanges().size(), 1u);
    EXPECT_EQ(map->codeSpaceRanges()[0].nBytes, 2);
    EXPECT_EQ(map->codeSpaceRanges()[0].end, 0xFFFFu);
    auto none = QVPDFCharCodeToUnicode::parseCMap(cmap("1 beginbfchar <01> <0041> endbfchar"), 8);
    EXPECT_EQ(none->spaceCIDCode(), 0u);
    EXPECT_EQ(none->tag(), "ToUnicode");
}

TEST(QVPDFCharCodeToUnicode, HostileRangesStayBounded) {
    // Four thousand million codes would never finish; a range is cut at 65536 codes.
    auto map = QVPDFCharCodeToUnicode::parseCMap(
        cmap("1 beginbfrange <00000000> <FFFFFFFF> <0041> endbfrange\n"
             "1 beginbfrange <0100> <0001> <0041> endbfrange"),
        16);
    EXPECT_EQ(text(*map, 0), u"A");
    EXPECT_EQ(text(*map, 1), u"B");
    EXPECT_EQ(text(*map, 0x10000), u"");
    // Truncated input yields what was read.
    auto cut = QVPDFCharCodeToUnicode::parseCMap("2 beginbfchar <41> <0061> <42>", 8);
    EXPECT_EQ(text(*cut, 0x41), u"a");
    EXPECT_EQ(text(*cut, 0x42), u"");
}

TEST(QVPDFMapTool, OnlyTheFourCollectionsHaveUnicodeFiles) {
    EXPECT_FALSE(QVPDFMapTool::FindToUnicodeFile("Adobe-Identity"));
    EXPECT_FALSE(QVPDFMapTool::FindToUnicodeFile("Adobe-UCS"));
    EXPECT_FALSE(QVPDFMapTool::FindCMapFile("", "../../etc/passwd"));
    EXPECT_FALSE(QVPDFMapTool::FindCMapFile("", "No-Such-CMap"));
}

} // namespace
