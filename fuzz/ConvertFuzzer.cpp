// libFuzzer target: every input is opened as a PDF from memory and its first
// pages are converted, exactly as the driver would convert them, in a scratch
// home folder, to the formats of one family: CORVALA_FUZZ_FORMATS, set per
// target by fuzz/CMakeLists.txt (the spreadsheet road, docx, pptx, or the
// flowing-text outputs). One family a target keeps the runs fast enough to
// fuzz: converting every input to all seven formats made each run as slow
// as the slowest writers together. A crash, a sanitizer report, a leak, a
// timeout or a logic error escaping the conversion is a finding; a clean
// failure (the page or the document reports an error) is not.

#include "fixtures/InProcessConversion.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace {

std::string& scratchHome() {
    static std::string path;
    return path;
}

/// The formats this target converts to, from its comma-separated list.
std::vector<std::string> targetFormats() {
    std::vector<std::string> out;
    std::string_view list = CORVALA_FUZZ_FORMATS;
    while (!list.empty()) {
        const size_t comma = std::min(list.find(','), list.size());
        out.emplace_back(list.substr(0, comma));
        list.remove_prefix(std::min(comma + 1, list.size()));
    }
    return out;
}

void removeScratch() {
    std::error_code ec;
    if (!scratchHome().empty())
        std::filesystem::remove_all(scratchHome(), ec);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Work folders and extracted images go to $HOME/tmp: a private folder
    // under $TMPDIR (scripts/fuzz gives each run its own, removed after it,
    // since an input that fails ends the process past this clean-up),
    // emptied after every input and removed at exit.
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/corvala-fuzz-XXXXXX";
    std::vector<char> templ(path.begin(), path.end());
    templ.push_back('\0');
    if (!::mkdtemp(templ.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    scratchHome() = templ.data();
    ::setenv("HOME", templ.data(), 1);
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string out = scratchHome() + "/out";
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    const QVPDFOptions options = fixtures::fuzzOptionsFor(size);
    static const std::vector<std::string> formats = targetFormats();
    for (const std::string& format : formats) {
        fixtures::InProcessOutcome r = fixtures::convertInProcess(
            bytes, format, out + "/result." + format, options, fixtures::kFuzzMaxPages);
        if (!r.unexpected.empty()) {
            std::fprintf(stderr, "%s conversion: %s\n", format.c_str(), r.unexpected.c_str());
            std::abort();
        }
    }
    // Everything the conversions left (outputs, work folders, images) goes, so
    // the disk does not fill over a long run.
    for (const auto& entry : std::filesystem::directory_iterator(scratchHome(), ec))
        std::filesystem::remove_all(entry.path(), ec);
    return 0;
}
