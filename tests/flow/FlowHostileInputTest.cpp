// Crafted font names and control characters in run text: the HTML is read
// back by Chromium and must run nothing and show only what we wrote; the RTF
// is read back by LibreOffice and must give the intended text with its tabs,
// and its CJK font names.
#include "FlowFixture.h"

#include "fixtures/PackageCheck.h"
#include "flow/QVFlowPDFConverter.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <cctype>

using flowtest::makeRun;
using flowtest::RunSpec;

namespace {

std::string jsonString(std::u16string_view text) {
    std::string out = "\"";
    for (char c : platform::utf16ToUTF8(text)) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char* const hex = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string jsonList(const std::vector<std::u16string>& items) {
    std::string out = "[";
    for (const auto& item : items)
        out += (out.size() > 1 ? ", " : "") + jsonString(item);
    return out + "]";
}

struct Line {
    std::string font;
    std::u16string text;
};

class FlowHostileInput : public flowtest::ScratchTest {
protected:
    std::string write(QVFlowFamily family, const std::string& name, const std::vector<Line>& lines,
                      const std::string& generator = "Corvala") {
        const std::string file = path(name);
        auto doc = QVFlowPDFConverter::initWithPath(family, file, 1);
        doc->setGenerator(generator, "1.0\"><script>alert(5)</script>", "--><script>x</script>");
        doc->begainWriteDocument();
        doc->begainWritePage({612, 792});
        double bottom = 60;
        for (const Line& line : lines) {
            doc->currentPage()->allRunTextArray().push_back(
                makeRun(family, RunSpec{line.text, 72, bottom, 200, 12, line.font}));
            bottom += 20;
        }
        doc->endWritePage();
        doc->endWriteDocument();
        doc->packetDocxFile();
        return file;
    }

    fixtures::ProcessResult check(const std::vector<std::string>& args, const std::string& expect) {
        const std::string expectFile = path("expect.json");
        EXPECT_TRUE(platform::writeFileAtomically(expectFile, expect));
        std::string command =
            "/usr/bin/python3 " + fixtures::shellQuote(std::string(
                                      CORVALA_SOURCE_DIR "/tests/flow/check_flow_outputs.py"));
        for (const std::string& a : args)
            command += " " + fixtures::shellQuote(a);
        return fixtures::runCommand(command + " " + fixtures::shellQuote(expectFile));
    }
};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

size_t count(const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t i = 0; (i = s.find(what, i)) != std::string::npos; i += what.size())
        ++n;
    return n;
}

} // namespace

TEST_F(FlowHostileInput, HtmlRunsNothingAndShowsOnlyWhatWeWrote) {
    const std::u16string lone(1, char16_t(0xD83D));
    const std::string file =
        write(QVFlowFamily::HTML, "t&<b>.html",
              {{"x'</style><script>alert(1)</script>", u"one"},
               {"a\";}</style><script>alert(2)</script><style>", u"<script>alert(3)</script>"},
               {"evil\\'; } body{background:red} p{", u"tab\there"},
               {"ctrl\x01\x1f\x7f\xff\xfe", std::u16string(u"nul\0x\x01y\x7fz", 10)},
               {"\xe5\xae\x8b\xe4\xbd\x93", u"\u4e2d\u6587 CR\r\nLF\nend" + lone},
               {"", u"&amp; \"quoted\" it's"}},
              "Corvala</title><script>alert(4)</script>");
    const std::string html = read(file);
    // Whatever a browser does, the bytes hold one style element and no script tag.
    EXPECT_EQ(count(lower(html), "<style"), 1u) << html;
    EXPECT_EQ(count(lower(html), "<script"), 0u) << html;
    EXPECT_EQ(html.find('\0'), std::string::npos);
    EXPECT_NE(html.find("font: 14px 'x/stylescriptalert(1)/script';"), std::string::npos) << html;
    EXPECT_NE(html.find("font: 14px '\xe5\xae\x8b\xe4\xbd\x93';"), std::string::npos) << html;
    EXPECT_NE(html.find("font: 14px 'ctrl\xef\xbf\xbd\xef\xbf\xbd';"), std::string::npos) << html;

    const std::u16string body = u"one\n<script>alert(3)</script>\ntab here\nnulxyz\n"
                                u"\u4e2d\u6587 CR\nLF\nend\uFFFD\n&amp; \"quoted\" it's";
    const auto r =
        check({"html", file}, "{\"body\": " + jsonString(body) + ", \"title\": \"t&<b>\"}");
    if (r.exitCode == 77)
        GTEST_SKIP() << r.output;
    EXPECT_TRUE(r.ok()) << r.output;
}

TEST_F(FlowHostileInput, RtfReadsBackAsTheIntendedTextWithItsFonts) {
    const std::string file =
        write(QVFlowFamily::RTF, "hostile.rtf",
              {{"\xe5\xae\x8b\xe4\xbd\x93", u"\u4e2d\u6587"},
               {"MS \xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", u"a\tb\tc"},
               {"x;}{\\rtf1 evil\\par}", u"brace {x} back\\slash"},
               {"Helvetica", std::u16string(u"line1\nline2\r\nline3 nul\0x\x01y", 26)},
               {"Emoji", u"smile \U0001F600 \u00e9"}});
    const std::string rtf = read(file);
    EXPECT_EQ(rtf.find('\0'), std::string::npos);
    for (char c : rtf)
        ASSERT_TRUE(c == '\n' || (c >= 32 && c < 127)) << int(c); // plain ASCII RTF
    EXPECT_NE(rtf.find("\\fcharset0 x\\}\\{\\\\rtf1 evil\\\\par\\};"), std::string::npos) << rtf;

    const auto r = check(
        {"rtf", file, folder_},
        "{\"paragraphs\": " +
            jsonList({u"\u4e2d\u6587", u"a\tb\tc", u"brace {x} back\\slash",
                      u"line1\nline2\nline3 nulxy", u"smile \U0001F600 \u00e9"}) +
            ", \"fonts\": " + jsonList({u"\u5b8b\u4f53", u"MS \u30b4\u30b7\u30c3\u30af"}) + "}");
    if (r.exitCode == 77)
        GTEST_SKIP() << r.output;
    EXPECT_TRUE(r.ok()) << r.output;
}
