// `corvala trace`: its JSON lines, and the acceptance grid: a cairo drawing,
// the same rotated by qpdf and moved inside a shifted media box, all traced
// to the same display-space coordinates.
#include "cli/TraceCommand.h"
#include "fixtures/PdfBuilder.h"
#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

using Box = std::array<double, 4>;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::vector<Box> pathBoxes(const std::string& trace) {
    std::vector<Box> out;
    for (const std::string& line : lines(trace)) {
        size_t at = line.find("\"bbox\":[");
        if (line.find("\"op\":\"path\"") == std::string::npos || at == std::string::npos)
            continue;
        std::string list = line.substr(at + 8, line.find(']', at) - at - 8);
        Box box{};
        std::istringstream parts(list);
        std::string item;
        for (size_t i = 0; i < 4 && std::getline(parts, item, ','); ++i)
            box[i] = platform::parseDouble(item).value_or(-1);
        out.push_back(box);
    }
    return out;
}

// The trace keeps the images it reports in a folder below TMPDIR: here a
// test folder, so no run leaves folders in the system's temporary folder.
std::string trace(const std::vector<std::string>& args, int expectedStatus = 0,
                  const std::string& tmp = fixtures::makeTestFolder("trace-images")) {
    const char* before = std::getenv("TMPDIR");
    const std::optional<std::string> saved =
        before ? std::optional<std::string>(before) : std::nullopt;
    ::setenv("TMPDIR", tmp.c_str(), 1);
    std::ostringstream out, err;
    EXPECT_EQ(corvalaTrace(args, out, err), expectedStatus) << err.str();
    if (saved)
        ::setenv("TMPDIR", saved->c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    return out.str();
}

} // namespace

TEST(CorvalaTrace, GridMatchesOnEveryRotationAndMediaBoxOffset) {
    std::string dir = fixtures::makeTestFolder("trace-grid");
    std::string command = "/usr/bin/python3 " + std::string(CORVALA_SOURCE_DIR) +
                          "/tests/fixtures/grid_pdf.py " + dir;
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<Box> known;
    std::ifstream expected(dir + "/expected.txt");
    for (Box b; expected >> b[0] >> b[1] >> b[2] >> b[3];)
        known.push_back(b);
    ASSERT_EQ(known.size(), 21u);

    const double W = 612, H = 792;
    struct Variant {
        std::string file;
        // The unrotated display point (x, y) as this variant shows it.
        std::function<std::pair<double, double>(double, double)> map;
    };
    const Variant variants[] = {
        {"grid.pdf",
         [](double x, double y) {
             return std::pair{x, y};
         }},
        {"grid-90.pdf",
         [&](double x, double y) {
             return std::pair{H - y, x};
         }},
        {"grid-180.pdf",
         [&](double x, double y) {
             return std::pair{W - x, H - y};
         }},
        {"grid-270.pdf",
         [&](double x, double y) {
             return std::pair{y, W - x};
         }},
        {"grid-offset.pdf",
         [](double x, double y) {
             return std::pair{x, y};
         }},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.file);
        std::vector<Box> got = pathBoxes(trace({dir + "/" + v.file}));
        ASSERT_EQ(got.size(), known.size());
        for (size_t i = 0; i < known.size(); ++i) {
            auto [ax, ay] = v.map(known[i][0], known[i][1]);
            auto [bx, by] = v.map(known[i][2], known[i][3]);
            Box want{std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
            for (size_t k = 0; k < 4; ++k)
                EXPECT_NEAR(got[i][k], want[k], 0.01) << "path " << i << " coordinate " << k;
        }
    }
}

TEST(CorvalaTrace, LinesForPathsImagesAndFailures) {
    std::string dir = fixtures::makeTestFolder("trace-lines");
    fixtures::PdfBuilder b;
    fixtures::PageSpec first;
    first.content = "q 0 0 10 10 re W n 0.5 0 0 RG 2 w [3 1] 0 d /GS0 gs 10 20 m 30 40 l S Q "
                    "/Im1 Do";
    first.mediaBox = {0, 0, 100, 100};
    first.resources = "<< /ExtGState << /GS0 << /CA 0.5 >> >> /XObject << /Im1 " +
                      b.addStream("<< /Subtype /Image /Width 1 /Height 1 /BitsPerComponent 8 "
                                  "/ColorSpace /DeviceGray >>",
                                  "x") +
                      " >> >>";
    b.addPage(first);
    fixtures::PageSpec second;
    second.content = "1 0 0 RG 0 0 m 5 5 l S";
    b.addPage(second);
    std::string pdf = b.writeTo(dir + "/lines.pdf");

    // The image is kept in the trace's own folder (below TMPDIR, here the
    // test's folder), a copy of the one-pixel PNG.
    const std::string traced = trace({pdf}, 0, dir);
    EXPECT_NE(traced.find("\"file\":\"" + dir + "/corvala-trace/IMG_"), std::string::npos)
        << traced;
    const std::string key = "\"op\":\"image\",\"file\":\"";
    const size_t at = traced.find(key);
    ASSERT_NE(at, std::string::npos) << traced;
    const size_t from = at + key.size(), to = traced.find('"', from);
    const std::string imageFile = "\"" + traced.substr(from, to - from) + "\"";
    std::ifstream png(traced.substr(from, to - from), std::ios::binary);
    std::string magic(8, '\0');
    png.read(magic.data(), 8);
    EXPECT_EQ(magic, "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(lines(traced),
              (std::vector<std::string>{
                  "{\"page\":1,\"op\":\"path\",\"stroke\":true,\"fill\":false,\"bbox\":[10,60,30,"
                  "80],\"evenodd\":false,\"lineWidth\":2,\"strokeColor\":\"7f0000\","
                  "\"fillColor\":\"000000\",\"strokeAlpha\":0.5,\"fillAlpha\":1,\"dash\":[3,1],"
                  "\"clips\":1}",
                  "{\"page\":1,\"op\":\"image\",\"file\":" + imageFile +
                      ",\"bbox\":[0,99,1,100],\"rotation\":0,\"mirrored\":false,"
                      "\"alpha\":1,\"clips\":0}",
                  "{\"page\":2,\"op\":\"path\",\"stroke\":true,\"fill\":false,\"bbox\":[0,787,5,"
                  "792],\"evenodd\":false,\"lineWidth\":1,\"strokeColor\":\"ff0000\","
                  "\"fillColor\":\"000000\",\"strokeAlpha\":1,\"fillAlpha\":1,\"dash\":null,"
                  "\"clips\":0}",
              }));
    // Page selection keeps the order given.
    auto selected = lines(trace({pdf, "-p", "2,1"}));
    ASSERT_EQ(selected.size(), 3u);
    EXPECT_EQ(selected[0].rfind("{\"page\":2,", 0), 0u);

    std::ostringstream out, err;
    EXPECT_EQ(corvalaTrace({}, out, err), 2);
    EXPECT_EQ(corvalaTrace({pdf, "--bogus"}, out, err), 2);
    EXPECT_EQ(corvalaTrace({dir + "/missing.pdf"}, out, err), 1);
}

TEST(CorvalaTrace, TextPositionsAgreeWithPdftotext) {
    std::string dir = fixtures::makeTestFolder("trace-text");
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "Quarterly"}, {300.5, 420.25, 20, "Total"}});
    std::string pdf = b.writeTo(dir + "/text.pdf");
    std::string html = dir + "/words.html";
    ASSERT_EQ(std::system(("pdftotext -bbox " + pdf + " " + html).c_str()), 0);
    std::ifstream in(html);
    std::stringstream words;
    words << in.rdbuf();
    auto attr = [](const std::string& line, const std::string& key) {
        size_t at = line.find(key + "=\"");
        return platform::parseDouble(
                   line.substr(at + key.size() + 2,
                               line.find('"', at + key.size() + 2) - at - key.size() - 2))
            .value_or(-1);
    };
    auto field = [](const std::string& line, const std::string& key) {
        size_t at = line.find("\"" + key + "\":");
        size_t start = at + key.size() + 3;
        return platform::parseDouble(line.substr(start, line.find_first_of(",}", start) - start))
            .value_or(-1);
    };
    std::vector<std::string> traced = lines(trace({pdf}));
    ASSERT_EQ(traced.size(), 2u);
    size_t i = 0;
    for (const std::string& line : lines(words.str())) {
        if (line.find("<word") == std::string::npos)
            continue;
        ASSERT_LT(i, traced.size());
        SCOPED_TRACE(traced[i]);
        EXPECT_NEAR(field(traced[i], "x"), attr(line, "xMin"), 0.01);
        EXPECT_NEAR(field(traced[i], "x") + field(traced[i], "width"), attr(line, "xMax"), 0.01);
        // Both boxes hold the baseline.
        EXPECT_LT(attr(line, "yMin"), field(traced[i], "y"));
        EXPECT_GT(attr(line, "yMax"), field(traced[i], "y"));
        ++i;
    }
    EXPECT_EQ(i, 2u);
    EXPECT_NE(traced[0].find("\"text\":\"Quarterly\""), std::string::npos);
    EXPECT_NE(traced[0].find("\"font\":\"Helvetica\""), std::string::npos);
    EXPECT_NE(traced[0].find("\"size\":12"), std::string::npos);
}
