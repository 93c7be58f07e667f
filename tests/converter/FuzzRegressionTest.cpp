// Every input the fuzz target ever found a fault with (tests/fixtures/fuzz/)
// converts again, to every format the fuzzer converts to, with its options: each
// run ends in a valid output or a clean failure, never a crash, a sanitizer
// report or an escaped logic error.
#include "fixtures/InProcessConversion.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::string> findings() {
    std::vector<std::string> out;
    const std::filesystem::path dir =
        std::filesystem::path(CORVALA_SOURCE_DIR) / "tests" / "fixtures" / "fuzz";
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.')
            out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzRegression, EveryFindingConvertsOrFailsCleanly) {
    const std::vector<std::string> files = findings();
    if (files.empty())
        GTEST_SKIP() << "no fuzz findings in tests/fixtures/fuzz";
    const std::string folder = fixtures::makeTestFolder("fuzz-regression");
    for (const std::string& file : files) {
        const std::string bytes = readFile(file);
        const std::string name = std::filesystem::path(file).filename().string();
        for (const std::string format : {"xlsx", "csv", "docx", "pptx", "txt", "html", "rtf"}) {
            SCOPED_TRACE(name + " to " + format);
            const std::string out = folder + "/" + name + "." + format;
            fixtures::InProcessOutcome r = fixtures::convertInProcess(
                bytes, format, out, fixtures::fuzzOptionsFor(bytes.size()),
                fixtures::kFuzzMaxPages);
            EXPECT_EQ(r.unexpected, "");
            const bool package = format == "xlsx" || format == "docx" || format == "pptx";
            if (r.saved && package) {
                auto check = fixtures::checkPackage(out);
                EXPECT_TRUE(check.ok()) << check.output;
            } else if (r.saved && format == "csv") {
                EXPECT_TRUE(platform::isDirectory(out));
            } else if (r.saved) {
                EXPECT_TRUE(platform::pathExists(out) && !platform::isDirectory(out))
                    << "no " << format << " file";
            } else {
                EXPECT_FALSE(platform::pathExists(out)) << "a failed run left its output";
            }
        }
    }
}

} // namespace
