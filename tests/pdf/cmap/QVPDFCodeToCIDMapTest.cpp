// CMaps: code spaces and CID ranges in the trie, identity maps, usecmap
// chains (cycles stop), hostile code spaces, and a check of every CMap file
// the build installs from poppler-data.

#include "pdf/cmap/QVPDFCodeToCIDMap.h"
#include "pdf/font/FontTestSupport.h"
#include "fixtures/PdfBuilder.h"
#include "pdf/cmap/QVPDFCharCodeToUnicode.h"
#include "pdf/cmap/QVPDFCodeToCIDMapCache.h"
#include "pdf/QVPDFPathUtilities.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

namespace {

std::string cmap(const std::string& body) {
    return "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
           "/CMapName /Test def\n" +
           body + "\nendcmap CMapName currentdict /CMap defineresource pop end end\n";
}

std::shared_ptr<QVPDFCodeToCIDMap> parseText(const std::string& text) {
    std::set<std::string> inProgress;
    return QVPDFCodeToCIDMap::parseText(text, std::nullopt, std::string("Test"), inProgress);
}

QVPDFCodeToCIDMap::Lookup lookup(const QVPDFCodeToCIDMap& map, std::initializer_list<int> bytes) {
    std::vector<unsigned char> b;
    for (int v : bytes)
        b.push_back(static_cast<unsigned char>(v));
    return map.getCID(b.data(), static_cast<int>(b.size()));
}

TEST(QVPDFCodeToCIDMap, LookupRows) {
    const std::string sjis =
        cmap("2 begincodespacerange <00> <80> <8140> <9FFC> endcodespacerange\n"
             "1 begincidrange <8140> <817E> 633 endcidrange\n"
             "1 begincidchar <41> 34 endcidchar");
    struct Row {
        const char* what;
        std::string text; // empty: Identity-H
        std::initializer_list<int> bytes;
        uint32_t cid;
        int used;
        bool complete;
    } rows[] = {
        {"identity pair", "", {0x30, 0x42}, 0x3042, 2, true},
        {"identity, more bytes left", "", {0x30, 0x42, 0x30}, 0x3042, 2, true},
        {"identity, odd last byte", "", {0x30}, 0, 1, false},
        {"two-byte code in range", sjis, {0x81, 0x41}, 634, 2, true},
        {"two-byte code at the range end", sjis, {0x81, 0x7E, 0x41}, 695, 2, true},
        {"two-byte code outside any cidrange", sjis, {0x81, 0x80}, 0, 2, true},
        {"one-byte code without a cidrange", sjis, {0x42}, 0, 1, true},
        {"one-byte cidchar", sjis, {0x41, 0x81}, 34, 1, true},
        {"byte outside every code space", sjis, {0xE0, 0x40}, 0, 1, true},
        {"string ending inside a two-byte code", sjis, {0x81}, 0, 1, false},
        {"cidrange across high bytes stays under the first",
         cmap("1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
              "1 begincidrange <01F0> <02FF> 100 endcidrange"),
         {0x01, 0xF5},
         105,
         2,
         true},
        {"... and the second high byte gets nothing",
         cmap("1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
              "1 begincidrange <01F0> <02FF> 100 endcidrange"),
         {0x02, 0x05},
         0,
         2,
         true},
        {"cidrange outside the code space adds nothing",
         cmap("1 begincodespacerange <8140> <84FF> endcodespacerange\n"
              "1 begincidrange <9040> <9050> 7 endcidrange"),
         {0x90, 0x41},
         0,
         1,
         true},
        {"three-byte code space",
         cmap("1 begincodespacerange <8EA1A1> <8EFEFE> endcodespacerange\n"
              "1 begincidchar <8EA1A2> 9 endcidchar"),
         {0x8E, 0xA1, 0xA2},
         9,
         3,
         true},
        {"four-byte code space",
         cmap("1 begincodespacerange <00000000> <0010FFFF> endcodespacerange\n"
              "1 begincidrange <00010000> <000100FF> 50 endcidrange"),
         {0x00, 0x01, 0x00, 0x02},
         52,
         4,
         true},
        {"a code space's shared subtree is copied where a CID is written",
         cmap("1 begincodespacerange <000000> <FFFFFF> endcodespacerange\n"
              "1 begincidchar <010203> 7 endcidchar"),
         {0x01, 0x02, 0x03},
         7,
         3,
         true},
        {"... and only there",
         cmap("1 begincodespacerange <000000> <FFFFFF> endcodespacerange\n"
              "1 begincidchar <010203> 7 endcidchar"),
         {0x02, 0x02, 0x03},
         0,
         3,
         true},
        {"malformed rows skipped",
         cmap("1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
              "3 begincidrange <0041> <41> 5 <zz41> <zz42> 6 <0041> <0042> 7 endcidrange"),
         {0x00, 0x42},
         8,
         2,
         true},
    };
    for (const Row& r : rows) {
        std::shared_ptr<const QVPDFCodeToCIDMap> map =
            r.text.empty() ? QVPDFCodeToCIDMap::parse("", "Identity-H") : parseText(r.text);
        ASSERT_TRUE(map) << r.what;
        auto got = lookup(*map, r.bytes);
        EXPECT_EQ(got.cid, r.cid) << r.what;
        EXPECT_EQ(got.nUsed, r.used) << r.what;
        EXPECT_EQ(got.complete, r.complete) << r.what;
    }
}

TEST(QVPDFCodeToCIDMap, WritingModesAndIdentityNames) {
    EXPECT_FALSE(parseText(cmap("/WMode 0 def"))->isVertical());
    EXPECT_TRUE(parseText(cmap("/WMode 1 def"))->isVertical());
    EXPECT_FALSE(QVPDFCodeToCIDMap::parse("", "Identity")->isVertical());
    EXPECT_FALSE(QVPDFCodeToCIDMap::parse("", "Identity-H")->isVertical());
    EXPECT_TRUE(QVPDFCodeToCIDMap::parse("", "Identity-V")->isVertical());
    EXPECT_TRUE(QVPDFCodeToCIDMap::parse("", "Identity-V")->isIdentity());
    EXPECT_FALSE(QVPDFCodeToCIDMap::parse("", "No-Such-CMap-H"));
    EXPECT_FALSE(QVPDFCodeToCIDMap::parse("", "../CIDToUnicode/Adobe-GB1-UCS2"));
    EXPECT_FALSE(QVPDFCodeToCIDMap::parse("", ""));
}

TEST(QVPDFCodeToCIDMap, CodeValuesFindTheirCIDs) {
    auto map = parseText(cmap("2 begincodespacerange <00> <80> <8140> <9FFC> endcodespacerange\n"
                              "1 begincidrange <8140> <817E> 633 endcidrange\n"
                              "1 begincidchar <20> 1 endcidchar"));
    EXPECT_EQ(map->cidForCode(0x20), 1u);
    EXPECT_EQ(map->cidForCode(0x8141), 634u);
    EXPECT_FALSE(map->cidForCode(0x81)); // a lead byte alone is no whole code
    EXPECT_EQ(QVPDFCodeToCIDMap::parse("", "Identity-H")->cidForCode(0x0003), 3u);
}

TEST(QVPDFCodeToCIDMap, UsecmapMergesUnderTheMapsOwnEntries) {
    auto map = parseText(cmap("/UniJIS-UCS2-H usecmap\n/WMode 1 def\n"
                              "1 begincidchar <3042> 7 endcidchar"));
    EXPECT_TRUE(map->isVertical());
    EXPECT_EQ(lookup(*map, {0x30, 0x42}).cid, 7u);   // its own entry wins
    EXPECT_EQ(lookup(*map, {0x30, 0x44}).cid, 845u); // the used map's
    EXPECT_EQ(lookup(*map, {0x4E, 0x00}).cid, 1200u);
}

/// A resource root of its own with CMap files that use each other in a circle.
class CMapFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fixtures::makeTestFolder("cmap-cycle");
        std::string dir = root_ + "/QVPDFParser/PDFEncodings/CMap";
        std::filesystem::create_directories(dir);
        write(dir + "/CycleA-H", "/CycleB-H usecmap 1 begincodespacerange <0000> <FFFF> "
                                 "endcodespacerange 1 begincidchar <0001> 11 endcidchar");
        write(dir + "/CycleB-H", "/CycleA-H usecmap 1 begincodespacerange <0000> <FFFF> "
                                 "endcodespacerange 1 begincidchar <0002> 22 endcidchar");
        write(dir + "/CycleSelf-H", "/CycleSelf-H usecmap 1 begincodespacerange <0000> <FFFF> "
                                    "endcodespacerange 1 begincidchar <0003> 33 endcidchar");
        write(dir + "/Wide-H", "1 begincodespacerange <000000> <FFFFFF> endcodespacerange "
                               "2 begincidchar <010203> 7 <FF0000> 8 endcidchar");
        write(dir + "/Shared-H",
              "/CycleA-H usecmap 1 begincodespacerange <0000> <FFFF> "
              "endcodespacerange 1 begincidrange <0100> <01FF> 1000 endcidrange");
        const char* saved = std::getenv("CORVALA_RESOURCES");
        saved_ = saved ? saved : "";
        ::setenv("CORVALA_RESOURCES", root_.c_str(), 1);
    }
    void TearDown() override { ::setenv("CORVALA_RESOURCES", saved_.c_str(), 1); }
    static void write(const std::string& path, const std::string& body) {
        std::ofstream(path) << cmap(body);
    }
    std::string root_, saved_;
};

TEST_F(CMapFolder, UsecmapCyclesStop) {
    auto a = QVPDFCodeToCIDMap::parse("", "CycleA-H");
    ASSERT_TRUE(a);
    EXPECT_EQ(lookup(*a, {0x00, 0x01}).cid, 11u);
    EXPECT_EQ(lookup(*a, {0x00, 0x02}).cid, 22u); // through CycleB-H, which stops at CycleA-H
    auto self = QVPDFCodeToCIDMap::parse("", "CycleSelf-H");
    ASSERT_TRUE(self);
    EXPECT_EQ(lookup(*self, {0x00, 0x03}).cid, 33u);
}

TEST_F(CMapFolder, FirstUseFromManyThreadsParsesOneMap) {
    std::vector<std::shared_ptr<const QVPDFCodeToCIDMap>> maps(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < maps.size(); ++i)
        threads.emplace_back([&maps, i] { maps[i] = QVPDFCodeToCIDMap::parse("", "Shared-H"); });
    for (auto& t : threads)
        t.join();
    ASSERT_TRUE(maps[0]);
    for (const auto& m : maps)
        EXPECT_EQ(m, maps[0]);
    EXPECT_EQ(lookup(*maps[0], {0x01, 0x05}).cid, 1005u);
    EXPECT_EQ(lookup(*maps[0], {0x00, 0x02}).cid, 22u);
}

TEST_F(CMapFolder, UsecmapOfSharedSubtreesKeepsEveryPathApart) {
    auto map = parseText(cmap("/Wide-H usecmap 1 begincidchar <020203> 9 endcidchar"));
    EXPECT_EQ(lookup(*map, {0x01, 0x02, 0x03}).cid, 7u);
    EXPECT_EQ(lookup(*map, {0xFF, 0x00, 0x00}).cid, 8u);
    EXPECT_EQ(lookup(*map, {0x02, 0x02, 0x03}).cid, 9u);
    EXPECT_EQ(lookup(*map, {0x03, 0x02, 0x03}).cid, 0u);
    EXPECT_EQ(lookup(*map, {0x03, 0x02, 0x03}).nUsed, 3);
    auto wide = QVPDFCodeToCIDMap::parse("", "Wide-H");
    EXPECT_EQ(lookup(*wide, {0x02, 0x02, 0x03}).cid, 0u); // the used map is untouched
    EXPECT_LT(map->levelCount(), 16u);
}

TEST(QVPDFCodeToCIDMap, HostileCodeSpacesStayBounded) {
    // Every four-byte code: the trie would need 16 million levels.
    auto map = parseText(cmap("1 begincodespacerange <00000000> <FFFFFFFF> endcodespacerange\n"
                              "1 begincidrange <FFFFFF00> <FFFFFFFF> 5 endcidrange"));
    EXPECT_LT(map->levelCount(), 16u); // the equal subtrees are one
    EXPECT_EQ(lookup(*map, {0xFF, 0xFF, 0xFF, 0x07}).cid, 12u);
    EXPECT_EQ(lookup(*map, {0x00, 0x00, 0x00, 0x01}).nUsed, 4);
    // Rows that make every path differ stop at the budget.
    std::string rows;
    for (int hi = 0; hi < 256; ++hi)
        for (int mid = 0; mid < 256; mid += 2) {
            char code[16];
            std::snprintf(code, sizeof code, "<%02X%02X0000>", hi, mid);
            rows += code + std::string(" 1\n");
        }
    auto grown = parseText(cmap("1 begincodespacerange <00000000> <FFFFFFFF> endcodespacerange\n"
                                "32768 begincidchar\n" +
                                rows + "endcidchar"));
    EXPECT_LE(grown->levelCount(), QVPDFCodeToCIDMap::kMaxLevels);
    EXPECT_EQ(lookup(*grown, {0x00, 0x00, 0x00, 0x00}).cid, 1u);
    // Huge CIDs and ranges written backwards add nothing harmful.
    auto odd = parseText(cmap("1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
                              "2 begincidrange <0010> <0001> 5 <0020> <0030> 99999999999 "
                              "endcidrange"));
    EXPECT_EQ(lookup(*odd, {0x00, 0x05}).cid, 0u);
    EXPECT_EQ(lookup(*odd, {0x00, 0x21}).cid, 0x7FFFFFFFu);
}

TEST(QVPDFCodeToCIDMap, EmbeddedStreamWithUseCMapAndSelfReference) {
    fixtures::PdfBuilder b;
    std::string base = b.addStream(
        "<< /Type /CMap /CMapName /Base /UseCMap /UniGB-UCS2-H >>",
        cmap("1 begincodespacerange <0000> <FFFF> endcodespacerange 1 begincidchar <0041> 9 "
             "endcidchar"));
    std::string self = b.addStream("<< /Type /CMap /WMode 1 >>", "");
    b.setDictionaryEntry(self, "UseCMap", self);
    std::string top = b.addStream("<< /Type /CMap /CMapName /Top /UseCMap " + base + " >>",
                                  cmap("/Self usecmap 1 begincidchar <0042> 10 endcidchar"));
    fixtures::PageSpec page;
    page.content = "BT ET";
    page.resources = "<< /P << /A " + top + " /S " + self + " >> >>";
    b.addPage(page);
    auto doc = platform::PdfDocument::openFromMemory(b.build(), "embedded cmap");
    ASSERT_TRUE(doc);
    auto p = doc->page(1)->dictionary().get("Resources").get("P");

    auto map = QVPDFCodeToCIDMap::parseStream(p.get("A"), std::nullopt);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->cMapName(), "Top");
    EXPECT_EQ(lookup(*map, {0x00, 0x41}).cid, 9u);    // from the stream it uses
    EXPECT_EQ(lookup(*map, {0x00, 0x42}).cid, 10u);   // its own
    EXPECT_EQ(lookup(*map, {0x4E, 0x2D}).cid, 4559u); // from UniGB-UCS2-H two levels down
    // A stream that uses itself stops after a few rounds.
    auto loop = QVPDFCodeToCIDMap::parseStream(p.get("S"), std::nullopt);
    ASSERT_TRUE(loop);
    EXPECT_TRUE(loop->isVertical());
}

// ---------------------------------------------------------------------------
// The installed data.

std::string cmapFolder() {
    auto path = QVPDFPathUtilities::PathInLibBundleForResource("PDFEncodings/CMap");
    return path ? *path : "";
}

TEST(QVPDFCMapData, EveryInstalledCMapParsesAndItsUsecmapResolves) {
    std::string folder = cmapFolder();
    ASSERT_FALSE(folder.empty()) << "the build installs poppler-data's CMaps";
    const std::regex usecmap(R"(/([^\s/]+)\s+usecmap)");
    size_t files = 0, maxLevels = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        auto text = platform::readFile(entry.path().string());
        ASSERT_TRUE(text) << name;
        ++files;
        // Collection-to-Unicode CMaps (bfchar/bfrange) sit in the same tree; every
        // file must at least parse without harm.
        auto map = QVPDFCodeToCIDMap::parse("", name);
        ASSERT_TRUE(map) << name;
        maxLevels = std::max(maxLevels, map->levelCount());
        for (std::sregex_iterator it(text->begin(), text->end(), usecmap), end; it != end; ++it)
            EXPECT_TRUE(QVPDFCodeToCIDMap::parse("", (*it)[1])) << name << " uses " << (*it)[1];
    }
    EXPECT_GT(files, 200u);
    // The largest shipped map stays far below the trie's budget.
    EXPECT_LT(maxLevels * 4, QVPDFCodeToCIDMap::kMaxLevels) << maxLevels;
}

TEST(QVPDFCMapData, SpotValuesAgreeWithTheFiles) {
    struct Row {
        const char* cMap;
        std::initializer_list<int> bytes;
        uint32_t cid;
        int used;
        bool vertical;
        const char* collection;
    } rows[] = {
        {"UniJIS-UCS2-H", {0x30, 0x42}, 843, 2, false, "Adobe-Japan1-4"},
        {"UniJIS-UCS2-V", {0x30, 0x42}, 843, 2, true, "Adobe-Japan1-4"},
        {"90ms-RKSJ-H", {0x82, 0xA0}, 843, 2, false, "Adobe-Japan1-2"},
        {"90ms-RKSJ-H", {0x41}, 264, 1, false, "Adobe-Japan1-2"},
        {"90ms-RKSJ-V", {0x81, 0x41}, 7887, 2, true, "Adobe-Japan1-2"},
        {"UniGB-UCS2-H", {0x4E, 0x2D}, 4559, 2, false, "Adobe-GB1-4"},
        {"UniKS-UCS2-H", {0xAC, 0x00}, 1086, 2, false, "Adobe-Korea1-1"},
        {"KSCms-UHC-H", {0xB0, 0xA1}, 1086, 2, false, "Adobe-Korea1-1"},
        {"ETen-B5-H", {0xA4, 0x40}, 595, 2, false, "Adobe-CNS1-0"},
        {"UniJIS-UTF16-H", {0xD8, 0x40, 0xDC, 0x0B}, 13839, 4, false, "Adobe-Japan1-7"},
    };
    for (const Row& r : rows) {
        auto map = QVPDFCodeToCIDMap::parse("", r.cMap);
        ASSERT_TRUE(map) << r.cMap;
        auto got = lookup(*map, r.bytes);
        EXPECT_EQ(got.cid, r.cid) << r.cMap;
        EXPECT_EQ(got.nUsed, r.used) << r.cMap;
        EXPECT_EQ(map->isVertical(), r.vertical) << r.cMap;
        EXPECT_EQ(map->cMapCollection(), r.collection) << r.cMap;
    }
    // Parsed once per process: every font shares the map.
    EXPECT_EQ(QVPDFCodeToCIDMap::parse("x", "UniJIS-UCS2-H"),
              QVPDFCodeToCIDMap::parse("y", "UniJIS-UCS2-H"));
}

TEST(QVPDFCMapData, TheFourCollectionFilesLoad) {
    struct Row {
        const char* region;
        uint32_t cid;
        std::u16string text;
    } rows[] = {
        {"Adobe-Japan1", 843, u"\u3042"},
        {"Adobe-Japan1", 1, u" "},
        {"Adobe-Japan1", 0x046D, u"\u9022\U000E0100"}, // a variation sequence
        {"Adobe-GB1", 4559, u"\u4E2D"},
        {"Adobe-Korea1", 1086, u"\uAC00"},
        {"Adobe-CNS1", 595, u"\u4E00"},
    };
    for (const Row& r : rows) {
        auto map = QVPDFCharCodeToUnicode::collectionMap(r.region);
        ASSERT_TRUE(map) << r.region;
        EXPECT_EQ(map->textForCode(r.cid), r.text) << r.region << " CID " << r.cid;
        EXPECT_EQ(map, QVPDFCharCodeToUnicode::collectionMap(r.region)); // parsed once
    }
    EXPECT_FALSE(QVPDFCharCodeToUnicode::collectionMap("Adobe-Identity"));
    EXPECT_FALSE(QVPDFCharCodeToUnicode::collectionMap("Adobe-KR"));
}

} // namespace
