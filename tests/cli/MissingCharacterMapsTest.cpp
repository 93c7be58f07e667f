// Without the character maps the corvala command says so at start, once,
// instead of converting CJK text to nothing without a word.
#include "fixtures/PdfBuilder.h"
#include "pdf/cmap/QVPDFMapTool.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = popen((command + " 2>&1 </dev/null").c_str(), "r");
    if (!pipe)
        return out;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0)
        out.append(buf.data(), n);
    pclose(pipe);
    return out;
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

TEST(MissingCharacterMaps, TheCommandSaysSoAtStart) {
    std::string folder = fixtures::makeTestFolder("missing-cmaps");
    std::string emptyRoot = folder + "/resources";
    std::filesystem::create_directories(emptyRoot + "/QVPDFParser/PDFEncodings/CMap");
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "Hello"}});
    std::string pdf = b.writeTo(folder + "/in.pdf");
    const std::string corvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

    std::string traced =
        run("CORVALA_RESOURCES='" + emptyRoot + "' " + corvala + " trace '" + pdf + "'");
    EXPECT_EQ(count(traced, "the character maps are missing (CMap and CIDToUnicode in " +
                                emptyRoot + "/QVPDFParser/PDFEncodings)"),
              1u)
        << traced;
    EXPECT_NE(traced.find("\"Hello\""), std::string::npos) << "the run goes on";

    std::string converted = run("CORVALA_RESOURCES='" + emptyRoot + "' " + corvala +
                                " convert -f txt -o '" + folder + "' '" + pdf + "'");
    EXPECT_EQ(count(converted, "the character maps are missing"), 1u) << converted;

    // With the build's data in place nothing is said.
    std::string quiet = run(corvala + " trace '" + pdf + "'");
    EXPECT_EQ(quiet.find("missing"), std::string::npos) << quiet;
    EXPECT_FALSE(QVPDFMapTool::missingDataMessage());
}

} // namespace
