#include "writer/QVZipArchive.h"

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class QVZipArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = fixtures::makeTestFolder("zip"); }

    std::string make(const std::string& relative, const std::string& bytes) {
        const std::string p = folder_ + "/work/" + relative;
        platform::createDirectories(platform::deletingLastPathComponent(p));
        EXPECT_TRUE(platform::writeFileAtomically(p, bytes));
        return p;
    }

    /// name, compression method, date_time, size per entry; "BAD" when a CRC fails.
    fixtures::ProcessResult listing(const std::string& zip) {
        return fixtures::runPython(R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
if z.testzip() is not None: print('BAD')
for i in z.infolist():
    print(i.filename, i.compress_type, '%04d-%02d-%02d %02d:%02d:%02d' % i.date_time, i.file_size)
)",
                                   {zip});
    }

    std::string folder_;
};

TEST_F(QVZipArchiveTest, WorkFolderBecomesDeflatedEntriesWithoutFolders) {
    make("_rels/.rels", "<Relationships/>");
    make("[Content_Types].xml", "<Types/>");
    make("docProps/app.xml", std::string(200000, 'a')); // several chunks
    make("xl/workbook.xml", "<workbook/>");
    platform::createDirectories(folder_ + "/work/xl/empty");

    const std::string zip = folder_ + "/out.zip";
    QVZipArchive archive;
    archive.setFixedEntryDate(std::time_t(1700000000)); // 2023-11-14 22:13:20 UTC
    ASSERT_TRUE(archive.CreateZipFile2(zip));
    for (const char* item : {"_rels", "[Content_Types].xml", "docProps", "xl"}) {
        const std::string p = folder_ + "/work/" + item;
        EXPECT_TRUE(platform::isDirectory(p) ? archive.addFolderToZip(p, item)
                                             : archive.addFileToZip(p, item));
    }
    ASSERT_TRUE(archive.CloseZipFile2());

    auto r = listing(zip);
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "_rels/.rels 8 2023-11-14 22:13:20 16\n"
                        "[Content_Types].xml 8 2023-11-14 22:13:20 8\n"
                        "docProps/app.xml 8 2023-11-14 22:13:20 200000\n"
                        "xl/workbook.xml 8 2023-11-14 22:13:20 11\n");
}

TEST_F(QVZipArchiveTest, EntryDateIsTheFileModificationTimeInLocalTime) {
    const std::string file = make("a.xml", "<a/>");
    const std::time_t when = 1718000001; // odd second: DOS dates keep two-second steps
    timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

    const std::string zip = folder_ + "/dated.zip";
    QVZipArchive archive;
    ASSERT_TRUE(archive.CreateZipFile2(zip));
    ASSERT_TRUE(archive.addFileToZip(file, "a.xml"));
    ASSERT_TRUE(archive.CloseZipFile2());

    auto r = fixtures::runPython(R"(
import sys, time, zipfile
i = zipfile.ZipFile(sys.argv[1]).getinfo('a.xml')
t = time.localtime(int(sys.argv[2]))
expected = (t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec - t.tm_sec % 2)
print('same' if i.date_time == expected else '%s != %s' % (i.date_time, expected))
)",
                                 {zip, std::to_string(when)});
    EXPECT_EQ(r.output, "same\n");
}

TEST_F(QVZipArchiveTest, FailuresAnswerFalse) {
    const std::string zip = folder_ + "/never.zip";
    const std::string file = make("a.xml", "<a/>");
    {
        QVZipArchive archive;
        EXPECT_FALSE(archive.addFileToZip(file, "a.xml"));
        EXPECT_FALSE(archive.addFolderToZip(folder_ + "/work", "w"));
        EXPECT_FALSE(archive.CloseZipFile2());
    }
    EXPECT_FALSE(platform::pathExists(zip));

    QVZipArchive archive;
    EXPECT_FALSE(archive.CreateZipFile2(folder_ + "/no/such/folder/x.zip"));

    ASSERT_TRUE(archive.CreateZipFile2(zip));
    // Unreadable content and unlistable folders fail; they never become empty entries.
    EXPECT_FALSE(archive.addFileToZip(folder_ + "/work/missing.xml", "missing.xml"));
    EXPECT_FALSE(archive.addFileToZip(folder_ + "/work", "folder-as-file"));
    EXPECT_FALSE(archive.addFolderToZip(file, "file-as-folder"));
    EXPECT_FALSE(archive.addFolderToZip(folder_ + "/work/none", "none"));
    ASSERT_EQ(::symlink("/nonexistent/target", (folder_ + "/work/dangling.xml").c_str()), 0);
    EXPECT_FALSE(archive.addFolderToZip(folder_ + "/work", "w"));
    EXPECT_TRUE(archive.CloseZipFile2());
}

TEST_F(QVZipArchiveTest, CreateReplacesAnExistingFile) {
    const std::string zip = folder_ + "/again.zip";
    ASSERT_TRUE(platform::writeFileAtomically(zip, std::string(5000, 'x')));
    const std::string file = make("b.xml", "<b/>");
    QVZipArchive archive;
    ASSERT_TRUE(archive.CreateZipFile2(zip));
    ASSERT_TRUE(archive.addFileToZip(file, "sub/b.xml"));
    ASSERT_TRUE(archive.CloseZipFile2());
    auto r = listing(zip);
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_NE(r.output.find("sub/b.xml 8 "), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find('\n'), r.output.size() - 1) << "one entry only: " << r.output;
}

} // namespace
