#include "app/QVCUtilities.h"
#include "app/QVUserDefaults.h"
#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
void touch(const std::string& path, size_t bytes = 0) {
    std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
}
} // namespace

TEST(QVCUtilities, NewPathTakesTheFirstFreeNumber) {
    const std::string d = fixtures::makeTestFolder("app-newpath");
    touch(d + "/report.xlsx");
    touch(d + "/report 2.xlsx");
    touch(d + "/Report.xlsx");
    touch(d + "/Notes");
    touch(d + "/a.tar.gz");
    fs::create_directory(d + "/Folder.csv");
    const struct {
        std::string path, expected;
    } cases[] = {
        {"report.xlsx", "report 3.xlsx"},
        {"Report.xlsx", "Report 2.xlsx"},
        {"Notes", "Notes 2"},
        {"a.tar.gz", "a.tar 2.gz"},
        {"Folder.csv", "Folder 2.csv"}, // a folder of the name counts as taken
        {"fresh.xlsx", "fresh.xlsx"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QVCUtilities::getNewPathby(d + "/" + c.path), d + "/" + c.expected) << c.path;
}

TEST(QVCUtilities, SizeTexts) {
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0.0 KB"},           {500, "0.0 KB"},        {1536, "1.0 KB"},
        {1048575, "1023.0 KB"},  {1048576, "1.0 MB"},    {1572864, "1.5 MB"},
        {1073741823, "1024.0 MB"}, {1073741824, "1.0 GB"}, {3ULL << 30, "3.0 GB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QVCUtilities::sizeText(c.bytes), c.text) << c.bytes;
    const std::string d = fixtures::makeTestFolder("app-size");
    touch(d + "/f", 1536);
    EXPECT_EQ(QVCUtilities::StringFileSizeAtPath(d + "/f"), "1.0 KB");
    EXPECT_EQ(QVCUtilities::StringFileSizeAtPath(d + "/missing"), "");
}

TEST(QVCUtilities, GettersStoreTheirDefaultAndReadAnyStoredKind) {
    auto defaults = std::make_shared<QVMemoryUserDefaults>();
    QVUserDefaults::setStandardUserDefaults(defaults);
    EXPECT_EQ(QVCUtilities::stringValueForKey("s", "Microsoft Excel(.xlsx)"), "Microsoft Excel(.xlsx)");
    EXPECT_TRUE(defaults->objectForKey("s")); // present after the first read
    EXPECT_EQ(QVCUtilities::stringValueForKey("s", "other"), "Microsoft Excel(.xlsx)");
    EXPECT_FALSE(QVCUtilities::boolValueForKey("b", false));
    defaults->setObject("b", true);
    EXPECT_TRUE(QVCUtilities::boolValueForKey("b", false));
    defaults->setObject("i", std::string("2"));
    EXPECT_EQ(QVCUtilities::integerValueForKey("i", 0), 2);
    defaults->setObject("f", int64_t{3});
    EXPECT_EQ(QVCUtilities::floatValueForKey("f", 0.5), 3.0);
    EXPECT_EQ(QVCUtilities::stringValueForKey("f", ""), "3");
    QVUserDefaults::setStandardUserDefaults(nullptr);
}

TEST(QVCUtilities, IndexesAndFolders) {
    const std::vector<std::string> list{"a", "b", "c", "b"};
    EXPECT_EQ(QVCUtilities::indexSetOfObjects(list, {"c", "b", "b", "z"}),
              (std::vector<size_t>{1, 2}));
    EXPECT_TRUE(QVCUtilities::indexSetOfObjects(list, {}).empty());

    const std::string d = fixtures::makeTestFolder("app-folders");
    EXPECT_TRUE(QVCUtilities::createFolderIfNeed(d + "/x/y"));
    touch(d + "/x/y/1");
    touch(d + "/x/2");
    fs::create_directory_symlink(d + "/x", d + "/x/loop");
    EXPECT_EQ(QVCUtilities::numberOfFilesInFolder(d + "/x"), 3u); // the link counts once
    EXPECT_EQ(QVCUtilities::numberOfFilesInFolder(d + "/x/2"), 1u);
    EXPECT_FALSE(QVCUtilities::createFolderIfNeed(d + "/x/2/sub")); // under a file
}

TEST(QVCUtilities, FileTypesByExtension) {
    using U = QVCUtilities;
    const struct {
        const char* path;
        bool (*test)(const std::string&);
        bool expected;
    } cases[] = {
        {"/a/Report.PDF", U::IsPDFTypeForPath, true},
        {"/a/art.ai", U::IsPDFTypeForPath, true},
        {"/a/report.pdf.txt", U::IsPDFTypeForPath, false},
        {"/a/photo.JPEG", U::isPictureTypeForPath, true},
        {"/a/photo.tga", U::isPictureTypeForPath, false},
        {"/a/photo.tga", U::IsImageTypeForPath, true},
        {"/a/film.mov", U::isVideoTypeForPath, true},
        {"/a/song.m4a", U::isAudioTypeForPath, true},
        {"/a/x.gz", U::isZipTypeForPath, false},
        {"/a/x.gz", U::IsZipTypeForPath, true},
        {"/a/x.cbr", U::IsRarTypeForPath, true},
        {"/a/Letter.pages.zip", U::isZipedDocTypeForPath, true},
        {"/a/letter.zip", U::isZipedDocTypeForPath, false},
        {"/a/main.mm", U::isTxtTypeForPath, true},
        {"/a/README", U::isGoogleDocTypeForPath, true},
        {"/a/page.htm", U::isGoogleDocTypeForPath, true},
        {"/a/page.pdf", U::isGoogleDocTypeForPath, false},
        {"/a/Notes.rtfd", U::isFolderFileTypeForPath, true},
        {"/a/x.docx", U::isWordTypeForPath, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.test(c.path), c.expected) << c.path;
    EXPECT_TRUE(U::isPath("/a/b.XLSX", "xlsx"));
    EXPECT_TRUE(U::isPathHaveTypes("/a/b.csv", {"xlsx", "CSV"}));
    const std::string d = fixtures::makeTestFolder("app-types");
    fs::create_directory(d + "/pack.rtfd");
    touch(d + "/file.rtfd");
    EXPECT_TRUE(U::isPathIsDirectory(d + "/pack.rtfd", "rtfd", true));
    EXPECT_FALSE(U::isPathIsDirectory(d + "/file.rtfd", "rtfd", true));
    EXPECT_FALSE(U::isPathNeedExists(d + "/none.rtfd", "rtfd", true, false));
    EXPECT_TRUE(U::isPathNeedExists(d + "/none.rtfd", "rtfd", false, false));
}

TEST(QVCUtilities, TextHelpers) {
    const struct {
        const char *in, *out;
    } base64[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
                  {"\xff\xfe", "//4="}};
    for (const auto& c : base64)
        EXPECT_EQ(QVCUtilities::encodeBase64(c.in), c.out) << c.in;
    EXPECT_EQ(QVCUtilities::smartURLForString("  example.org/x "), "http://example.org/x");
    EXPECT_EQ(QVCUtilities::smartURLForString("HTTPS://example.org"), "HTTPS://example.org");
    EXPECT_FALSE(QVCUtilities::smartURLForString("ftp://example.org"));
    EXPECT_FALSE(QVCUtilities::smartURLForString("   "));

    const std::string d = fixtures::makeTestFolder("app-import");
    EXPECT_EQ(QVCUtilities::NewImportImagePath(d, "img", "png"), d + "/img_000001.png");
    touch(d + "/img_000001.png");
    EXPECT_EQ(QVCUtilities::NewImportImagePath(d, "img", "png"), d + "/img_000002.png");
}
