// An installed corvala works on its own: installed into a temporary prefix
// and run from a copy of that tree (so neither the build tree nor the first
// install place can be reached), it converts one PDF to every format, says
// nothing about missing resources and leaves nothing in its scratch area.
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using fixtures::shellQuote;

TEST(Install, TheInstalledCommandConvertsEveryFormatWithoutTheBuildTree) {
    fixtures::TestFolder folder("install");
    const std::string root = folder.path();
    const std::string prefix = root + "/prefix", moved = root + "/moved";
    auto installed = fixtures::runCommand(std::string(CORVALA_CMAKE_COMMAND) + " --install " +
                                          shellQuote(CORVALA_BINARY_DIR) + " --prefix " +
                                          shellQuote(prefix));
    ASSERT_EQ(installed.exitCode, 0) << installed.output;
    // The resources are installed beside the programs, the character maps included.
    for (const char* part : {"share/corvala/QVLunabrisk", "share/corvala/QVSlidora/thumbnail.jpeg",
                             "share/corvala/QVCorvala/theme1.xml", "share/corvala/FontBook.plist",
                             "share/corvala/QVPDFParser/PDFEncodings/CMap/UniGB-UCS2-H",
                             "share/man/man1/corvala.1"})
        EXPECT_TRUE(fs::exists(prefix + "/" + part)) << part;
    fs::rename(prefix, moved);

    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "Installed"}, {200, 700, 12, "1.250"}});
    b.writeTo(root + "/in.pdf");
    fs::create_directory(root + "/out");
    fs::create_directory(root + "/tmp");
    const std::string env = "env -u CORVALA_RESOURCES TMPDIR=" + shellQuote(root + "/tmp") + " ";
    for (const char* format : {"xlsx", "csv", "docx", "pptx", "html", "rtf", "txt"}) {
        auto r = fixtures::runCommand("cd " + shellQuote(root) + " && " + env +
                                      shellQuote(moved + "/bin/corvala") + " convert -o out -f " +
                                      format + " in.pdf");
        EXPECT_EQ(r.exitCode, 0) << format << "\n" << r.output;
        EXPECT_EQ(r.output.find("missing"), std::string::npos) << format << "\n" << r.output;
        const std::string out = root + "/out/in." + format;
        ASSERT_TRUE(fs::exists(out)) << format << "\n" << r.output;
        if (std::string(format) == "csv")
            EXPECT_TRUE(fs::exists(out + "/Table 1.csv"));
        else if (std::string(format) == "xlsx" || std::string(format) == "docx" ||
                 std::string(format) == "pptx")
            EXPECT_TRUE(fixtures::checkPackage(out).ok()) << format;
        else
            EXPECT_GT(fs::file_size(out), 0u) << format;
    }
    auto text = fixtures::runCommand("cat " + shellQuote(root + "/out/in.txt"));
    EXPECT_NE(text.output.find("Installed"), std::string::npos) << text.output;
    EXPECT_TRUE(fs::is_empty(root + "/tmp"));
}
