// Work folders, first free names (taken exclusively) and the geometry text forms.
#include "fixtures/PdfBuilder.h"
#include "pdf/QVPDFGeometryText.h"
#include "pdf/QVPDFPathUtilities.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <thread>

#include <unistd.h>

TEST(QVPDFPathUtilities, TempFolderIsANewUuidInTheProcessScratchFolder) {
    // $TMPDIR, not the home folder: a home that cannot be written must not
    // stop a conversion.
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    const std::string where = fixtures::makeTestFolder("tempfolder");
    ::setenv("TMPDIR", where.c_str(), 1);
    std::string a = QVPDFPathUtilities::tempFolder(), b = QVPDFPathUtilities::tempFolder();
    ::setenv("TMPDIR", saved.c_str(), 1);
    EXPECT_NE(a, b);
    const std::string marker = where + "/corvala-" + std::to_string(::getpid()) + "/Temp-";
    EXPECT_EQ(a.rfind(marker, 0), 0u) << a;
    size_t at = a.rfind(marker);
    ASSERT_NE(at, std::string::npos) << a;
    std::string uuid = a.substr(at + marker.size());
    ASSERT_EQ(uuid.size(), 36u) << a;
    for (size_t i = 0; i < uuid.size(); ++i) {
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        char c = uuid[i];
        EXPECT_TRUE(dash ? c == '-' : ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) << a;
    }
    EXPECT_FALSE(platform::pathExists(a)); // not created
}

TEST(QVPDFPathUtilities, FirstFreeNameSequence) {
    std::string w = fixtures::makeTestFolder("newpath");
    // Free: the path itself, now taken.
    EXPECT_EQ(QVPDFPathUtilities::getNewPathby(w + "/Report.xlsx"), w + "/Report.xlsx");
    EXPECT_TRUE(platform::pathExists(w + "/Report.xlsx"));
    EXPECT_EQ(QVPDFPathUtilities::getNewPathby(w + "/Report.xlsx"), w + "/Report2.xlsx");
    EXPECT_EQ(QVPDFPathUtilities::getNewPathby(w + "/Report.xlsx"), w + "/Report3.xlsx");
    // The extension is the last one only.
    platform::createFileExclusively(w + "/a.b.c");
    EXPECT_EQ(QVPDFPathUtilities::getNewPathby(w + "/a.b.c"), w + "/a.b2.c");
    // Folders, and the desktop's "name 2" form.
    EXPECT_EQ(QVPDFPathUtilities::getNewFolderPathby(w + "/Book"), w + "/Book");
    EXPECT_EQ(QVPDFPathUtilities::getNewFolderPathby(w + "/Book"), w + "/Book2");
    EXPECT_TRUE(platform::isDirectory(w + "/Book2"));
    EXPECT_EQ(QVPDFPathUtilities::getNewPathby(w + "/Book", " "), w + "/Book 2");
    // A folder that does not exist yields nothing instead of a path that cannot be used.
    EXPECT_FALSE(QVPDFPathUtilities::getNewPathby(w + "/missing/x.xlsx"));
}

TEST(QVPDFPathUtilities, ConcurrentCallersNeverShareAName) {
    std::string w = fixtures::makeTestFolder("newpath-race");
    std::vector<std::string> got(16);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < got.size(); ++i)
        threads.emplace_back([&, i] { got[i] = *QVPDFPathUtilities::getNewPathby(w + "/o.xlsx"); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()).size(), got.size());
}

TEST(QVPDFPathUtilities, FoldersAndResources) {
    std::string w = fixtures::makeTestFolder("folders");
    EXPECT_TRUE(QVPDFPathUtilities::createFolderIfNeed(w + "/x/y/z"));
    EXPECT_TRUE(QVPDFPathUtilities::createFolderIfNeed(w + "/x/y/z")); // already there
    EXPECT_TRUE(QVPDFPathUtilities::isDirectoryAtPath(w + "/x/y"));
    platform::createFileExclusively(w + "/file");
    EXPECT_FALSE(QVPDFPathUtilities::createFolderIfNeed(w + "/file"));
    EXPECT_FALSE(QVPDFPathUtilities::isDirectoryAtPath(w + "/file"));
    EXPECT_FALSE(QVPDFPathUtilities::PathInLibBundleForResource("../../etc/passwd"));
    EXPECT_FALSE(QVPDFPathUtilities::PathInLibBundleForResource("PDFEncodings/CMap/NoSuchMap"));
}

TEST(QVPDFGeometryText, SixDigitForms) {
    EXPECT_EQ(QVPDF_StringFromPoint({1.5, -2}), "[1.500000, -2.000000]");
    EXPECT_EQ(QVPDF_StringFromSize({12, 16}), "[12.000000, 16.000000]");
    EXPECT_EQ(QVPDF_StringFromRect({{0, 1}, {2, 3.25}}), "[0.000000, 1.000000, 2.000000, 3.250000]");
    EXPECT_EQ(QVPDF_StringFromTransform({}),
              "[1.000000, 0.000000, 0.000000, 1.000000, 0.000000, 0.000000]");
}
