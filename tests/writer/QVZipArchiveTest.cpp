#include "writer/QVZipArchive.h"
#include "writer/QVDeflatedPart.h"
#include "writer/QVDeflatedPartStore.h"
#include "writer/XMLFileWriter.h"

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <random>

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

// Entries that never pass through a file: streamed (one large enough that its
// header is filled in on the file itself), from memory, from an XML writer,
// and compressed ahead of time (spilling to its file past the memory limit).
TEST_F(QVZipArchiveTest, StreamedAndPrecompressedEntriesReadBackWhole) {
    std::mt19937 rnd(3);
    std::string noise(5 * 1024 * 1024, '\0'); // incompressible: over the in-memory bound
    for (char& c : noise)
        c = static_cast<char>(rnd());
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "<row r=\"" + std::to_string(i) + "\"/>\n";

    const std::string zip = folder_ + "/streamed.zip";
    QVZipArchive archive;
    ASSERT_TRUE(archive.CreateZipFile2(zip));
    QVDeflatedPart part(folder_ + "/spill", 4096);
    ASSERT_TRUE(part.begin());
    for (size_t at = 0; at < noise.size(); at += 100000)
        ASSERT_TRUE(part.append(std::string_view(noise).substr(at, 100000)));
    ASSERT_TRUE(part.finish());
    EXPECT_TRUE(platform::pathExists(folder_ + "/spill"));

    ASSERT_TRUE(archive.openEntry("big.bin"));
    EXPECT_FALSE(archive.openEntry("second.bin")); // one entry at a time
    EXPECT_FALSE(archive.addDataToZip("x", "third.bin"));
    for (size_t at = 0; at < noise.size(); at += 4096)
        ASSERT_TRUE(archive.writeEntry(std::string_view(noise).substr(at, 4096)));
    ASSERT_TRUE(archive.closeEntry());
    EXPECT_FALSE(archive.closeEntry());
    ASSERT_TRUE(archive.addDataToZip(text, "rows.xml"));
    {
        auto writer = XMLFileWriter::initWithOutput("doc.xml", archive.entryOutput("doc.xml"));
        ASSERT_TRUE(writer);
        writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        writer->writeStartElement("doc");
        writer->writeCharacters(u"caf\u00e9 & co");
        writer->writeEndDocument();
    }
    ASSERT_TRUE(archive.addDeflatedPartToZip(part, "spilled.bin"));
    ASSERT_TRUE(archive.addDataToZip("", "empty.xml"));
    ASSERT_TRUE(archive.CloseZipFile2());

    const std::string expected = folder_ + "/expected";
    ASSERT_TRUE(platform::writeFileAtomically(expected + "-noise", noise));
    ASSERT_TRUE(platform::writeFileAtomically(expected + "-rows", text));
    auto r = fixtures::runPython(R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
print(z.testzip(), [(i.filename, i.compress_type) for i in z.infolist()])
noise = open(sys.argv[2] + '-noise', 'rb').read()
print(z.read('big.bin') == noise, z.read('spilled.bin') == noise,
      z.read('rows.xml') == open(sys.argv[2] + '-rows', 'rb').read(),
      z.read('doc.xml').decode(), repr(z.read('empty.xml')))
)",
                                 {zip, expected});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "None [('big.bin', 8), ('rows.xml', 8), ('doc.xml', 8), ('spilled.bin', 8), "
                        "('empty.xml', 8)]\n"
                        "True True True <?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" "
                        "?>\n<doc>caf\u00e9 &amp; co</doc> b''\n");
}

// Parts kept compressed until the package takes them, in memory and past its
// bound in the spill file; a part whose writer failed, and parts dropped back
// to a mark, leave nothing. Pictures of compressed formats are stored, every
// other entry deflated, whichever way it comes in (and a picture deflate still
// shrinks by far is deflated).
TEST_F(QVZipArchiveTest, StoredPartsAndPicturesReadBackWithTheirMethods) {
    std::mt19937 rnd(5);
    std::string noise(300000, '\0');
    for (char& c : noise)
        c = static_cast<char>(rnd());
    // Text that compresses to far more than the store's memory bound.
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string letters(200000, ' ');
    for (char& c : letters)
        c = alphabet[rnd() % alphabet.size()];

    QVDeflatedPartStore store(folder_ + "/parts", 4096);
    auto write = [&](const std::string& name, const std::string& text, bool close) {
        auto writer = XMLFileWriter::initWithOutput(name, store.output(name));
        ASSERT_TRUE(writer);
        EXPECT_FALSE(store.output("other.xml")); // one part at a time
        writer->writeStartElement("p");
        writer->writeCharacters(text);
        if (close)
            writer->writeEndDocument();
    };
    write("a.xml", "first", true);
    write("letters.xml", letters, true);
    EXPECT_TRUE(platform::pathExists(folder_ + "/parts"));
    const size_t mark = store.count();
    write("dropped.xml", letters, true);
    write("unclosed.xml", letters, false); // as a slide whose writing threw
    store.removeFrom(mark);
    write("b.xml", "second", true);
    write("a.xml", "first again", true); // replaces the first a.xml
    EXPECT_EQ(store.count(), 3u);
    EXPECT_EQ(store.part("dropped.xml"), nullptr);
    EXPECT_EQ(store.part("unclosed.xml"), nullptr);

    const std::string png = make("picture.png", noise);
    const std::string zip = folder_ + "/mixed.zip";
    QVZipArchive archive;
    ASSERT_TRUE(archive.CreateZipFile2(zip));
    for (const char* name : {"a.xml", "letters.xml", "b.xml"})
        EXPECT_TRUE(archive.addStoredPartToZip(store, name, std::string("parts/") + name));
    EXPECT_FALSE(archive.addStoredPartToZip(store, "dropped.xml", "parts/dropped.xml"));
    EXPECT_TRUE(archive.addFileToZip(png, "media/picture.png"));
    EXPECT_TRUE(archive.addDataToZip(noise, "media/photo.JPEG"));
    EXPECT_TRUE(archive.addDataToZip(noise, "media/raw.bmp"));
    EXPECT_TRUE(archive.addDataToZip("", "media/empty.png"));
    // A picture that deflate still shrinks a lot is deflated.
    const std::string flat = make("flat.jpeg", std::string(100000, 'a'));
    EXPECT_TRUE(archive.addFileToZip(flat, "media/flat.jpeg"));
    ASSERT_TRUE(archive.CloseZipFile2());

    ASSERT_TRUE(platform::writeFileAtomically(folder_ + "/noise", noise));
    ASSERT_TRUE(platform::writeFileAtomically(folder_ + "/letters", letters));
    auto r = fixtures::runPython(R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
noise = open(sys.argv[2], 'rb').read()
letters = open(sys.argv[3]).read()
print(z.testzip(), [(i.filename, i.compress_type) for i in z.infolist()])
print(z.read('parts/a.xml').decode().strip(), z.read('parts/b.xml').decode().strip(),
      z.read('parts/letters.xml').decode().strip() == '<p>' + letters + '</p>',
      z.read('media/picture.png') == noise, z.read('media/photo.JPEG') == noise,
      z.read('media/raw.bmp') == noise, z.read('media/empty.png'),
      z.read('media/flat.jpeg') == b'a' * 100000)
)",
                                 {zip, folder_ + "/noise", folder_ + "/letters"});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "None [('parts/a.xml', 8), ('parts/letters.xml', 8), ('parts/b.xml', 8), "
                        "('media/picture.png', 0), ('media/photo.JPEG', 0), ('media/raw.bmp', 8), "
                        "('media/empty.png', 0), ('media/flat.jpeg', 8)]\n"
                        "<p>first again</p> <p>second</p> True True True True b'' True\n");
}

} // namespace
