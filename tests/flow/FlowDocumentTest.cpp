#include "FlowFixture.h"

#include "docx/QVDocxDrawCounters.h"
#include "flow/QVFlowFileWriter.h"
#include "flow/QVFlowPDFConverter.h"
#include "flow/html/QVHTMLState.h"
#include "flow/rtf/QVRTFState.h"

#include <dirent.h>

using flowtest::makeRun;
using flowtest::RunSpec;

namespace {

struct StyledRun {
    RunSpec spec;
    int8_t bold = 0;
    int8_t italic = 0;
    QVDocx_Color color{0, 0, 0, 255};
};

class FlowDocument : public flowtest::ScratchTest {
protected:
    /// A whole document of the family: one page per list of runs.
    std::unique_ptr<QVFlowPDFConverter> convert(QVFlowFamily family, const std::string& name,
                                                const std::vector<std::vector<StyledRun>>& pages,
                                                bool finish = true) {
        auto doc = QVFlowPDFConverter::initWithPath(family, path(name), int64_t(pages.size()));
        doc->setGenerator("Corvala", "1.0", "Corvala");
        doc->begainWriteDocument();
        for (const auto& runs : pages) {
            doc->begainWritePage({612, 792});
            for (const StyledRun& s : runs) {
                auto run = makeRun(family, s.spec);
                QVDocx_RPr r = run->rProperty();
                r.b = s.bold;
                r.i = s.italic;
                r.color = s.color;
                run->setRProperty(r);
                doc->currentPage()->allRunTextArray().push_back(run);
            }
            doc->endWritePage();
        }
        if (finish) {
            doc->endWriteDocument();
            doc->packetDocxFile();
        }
        return doc;
    }

    std::vector<std::string> filesIn(const std::string& folder) const {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(folder.c_str())) {
            while (dirent* e = ::readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.push_back(e->d_name);
            ::closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

const char* const kHead = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\" "
                          "\"http://www.w3.org/TR/html4/strict.dtd\">\n"
                          "<!--Powered by Corvala 1.0 Corvala-->\n"
                          "<html>\n<head>\n";
const char* const kMeta =
    "  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
    "  <meta http-equiv=\"Content-Style-Type\" content=\"text/css\">\n"
    "  <meta name=\"Generator\" content=\"Corvala\">\n"
    "  <meta name=\"Version\" content=\"1.0\">\n";

} // namespace

TEST_F(FlowDocument, HtmlBytesOfAPlainAndABoldRun) {
    convert(QVFlowFamily::HTML, "Example.html",
            {{{{u"Plain ", 72, 60, 30}}, {{u"Bold", 102, 60, 20}, 1}}});
    EXPECT_EQ(read(path("Example.html")),
              std::string(kHead) + "  <title>Example</title>\n" + kMeta +
                  " <style type=\"text/css\">\n"
                  "    p.p0 {margin: 0px 0px 0px 0px; font: 14px 'Times New Roman'; color: "
                  "#000000}\n"
                  "    span.s0 { font: 14px 'Times New Roman'; color: #000000}\n"
                  " </style>\n</head>\n<body>"
                  "\n<p class=\"p0\"><span class=\"s0\">Plain <b>Bold</b></span></p>"
                  "\n</body>\n</html>");
    EXPECT_EQ(filesIn(folder_), std::vector<std::string>{"Example.html"});
}

TEST_F(FlowDocument, HtmlWithoutTextAndItsTitleEscaped) {
    convert(QVFlowFamily::HTML, "a&b<c.d.html", {{}});
    EXPECT_EQ(read(path("a&b<c.d.html")),
              std::string(kHead) + "  <title>a&amp;b&lt;c.d</title>\n" + kMeta +
                  " <style type=\"text/css\">\n </style>\n</head>\n<body>\n</body>\n</html>");
}

TEST_F(FlowDocument, HtmlSpanTagsStayNestedAndClassesAreShared) {
    // One line of touching runs: bold italic, italic, bold, then another colour.
    convert(QVFlowFamily::HTML, "tags.html",
            {{{{u"a", 10, 60}, 1, 1},
              {{u"b", 20, 60}, 0, 1},
              {{u"c", 30, 60}, 1, 0},
              {{u"d", 40, 60}, 0, 0, {255, 0, 0, 255}},
              {{u"e", 50, 60, 10, 500, "Big"}, 0, 0, {300, -5, 0, 255}}}});
    const std::string out = read(path("tags.html"));
    EXPECT_NE(out.find("<span class=\"s0\"><b><i>a</i></b><i>b</i><b>c</b></span>"
                       "<span class=\"s1\">d</span><span class=\"s2\">e</span></p>"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("    span.s1 { font: 14px 'Times New Roman'; color: #ff0000}\n"
                       "    span.s2 { font: 288px 'Big'; color: #ff0000}\n"),
              std::string::npos)
        << out;
}

TEST_F(FlowDocument, RtfBytesOfCharacterWordsAndTables) {
    const QVDocx_Color white{255, 255, 255, 255};
    convert(QVFlowFamily::RTF, "Example.rtf",
            {{{{u"Hello", 72, 60, 30, 12, "Helvetica"}},
              {{u"Bold", 72, 74, 30, 12, "Helvetica"}, 1},
              {{u"Plain", 72, 88, 30, 12, "Helvetica"}},
              {{u"Both", 72, 102, 30, 12, "Helvetica"}, 1, 1},
              {{u"Uni", 72, 116, 30, 12, "Arial Unicode MS"}},
              {{u"Small", 72, 130, 30, 10.5, "Helvetica"}, 0, 0, white},
              {{u"Odd", 72, 144, 30, 11.3f, "Helvetica"}, 0, 0, {229, 255, 255, 255}}}});
    EXPECT_EQ(read(path("Example.rtf")),
              "{\\rtf1\\ansi\\mac\n"
              "{\\fonttbl\\f0\\fnil\\fcharset0 Arial Unicode MS;\\f1\\fnil\\fcharset0 Helvetica;}\n"
              "{\\colortbl\\red0\\green0\\blue0;\\red128\\green128\\blue128;"
              "\\red229\\green255\\blue255;}\n"
              "{\\info\n{\\doccomm Powered by Corvala v1.0 Corvala}\n}\n"
              "\\par\\pard\\li0 \\f1\\i0\\b0\\ul0\\fs24 \\cf0 Hello"
              "\\par\\pard\\li0 \\b Bold"
              "\\par\\pard\\li0 \\b0 Plain"
              "\\par\\pard\\li0 \\i\\b Both"
              "\\par\\pard\\li0 \\f0\\i0\\b0 Uni"
              "\\par\\pard\\li0 \\f1\\fs21 \\cf1 Small"
              "\\par\\pard\\li0 \\fs22 \\cf2 Odd"
              "\n}");
}

TEST_F(FlowDocument, RtfWithoutText) {
    convert(QVFlowFamily::RTF, "empty.rtf", {{}, {}});
    EXPECT_EQ(read(path("empty.rtf")),
              "{\\rtf1\\ansi\\mac\n{\\fonttbl\\f0\\fnil\\fcharset0 Arial Unicode MS;}\n"
              "{\\colortbl\\red0\\green0\\blue0;}\n"
              "{\\info\n{\\doccomm Powered by Corvala v1.0 Corvala}\n}\n\n}");
}

TEST_F(FlowDocument, TextPagesEachBeginOnANewLine) {
    // A blank line (18 pt between the lines) separates the first two lines.
    convert(QVFlowFamily::Text, "out.txt",
            {{{{u"\u4e2d\u6587 {\\tab}", 72, 60, 30}}, {{u"second", 72, 90, 30}}},
             {{{u"next page", 72, 60, 30}}}});
    EXPECT_EQ(read(path("out.txt")), "\n\xe4\xb8\xad\xe6\x96\x87 {\\tab}\n\n\nsecond\nnext page");
}

TEST_F(FlowDocument, OutputAppearsOnlyWhenCompleteAndWorkFoldersGo) {
    for (QVFlowFamily family : {QVFlowFamily::HTML, QVFlowFamily::RTF, QVFlowFamily::Text}) {
        ASSERT_TRUE(platform::writeFileAtomically(path("out"), "old"));
        auto doc = convert(family, "out", {{{{u"text", 72, 60}}}}, false);
        const std::string work = doc->savedWorkFolder();
        EXPECT_EQ(read(path("out")), "old"); // untouched until the end
        doc.reset();                         // a cancel: the writer goes without packing
        EXPECT_EQ(filesIn(folder_), std::vector<std::string>{"out"});
        if (!work.empty()) {
            EXPECT_FALSE(platform::pathExists(work));
        }

        doc = convert(family, "out", {{{{u"text", 72, 60}}}});
        EXPECT_NE(read(path("out")).find("text"), std::string::npos);
        EXPECT_EQ(filesIn(folder_), std::vector<std::string>{"out"});
        const std::string work2 = doc->savedWorkFolder();
        doc.reset();
        if (!work2.empty()) {
            EXPECT_FALSE(platform::pathExists(work2));
        }
        if (family != QVFlowFamily::Text) {
            EXPECT_NE(work, work2); // two runs, two work folders
        }
    }
}

TEST_F(FlowDocument, AFileThatCannotBeCreatedEndsTheRunWithAnError) {
    for (QVFlowFamily family : {QVFlowFamily::HTML, QVFlowFamily::RTF, QVFlowFamily::Text}) {
        auto doc = QVFlowPDFConverter::initWithPath(family, path("missing/out"), 1);
        EXPECT_THROW(doc->begainWriteDocument(), QVFlowFileException);
    }
}

TEST_F(FlowDocument, BeginningTheDocumentAgainStartsAnew) {
    auto doc = QVFlowPDFConverter::initWithPath(QVFlowFamily::RTF, path("again.rtf"), 1);
    doc->begainWriteDocument();
    doc->begainWritePage({612, 792});
    doc->currentPage()->allRunTextArray().push_back(makeRun(QVFlowFamily::RTF, {u"old", 72, 60}));
    doc->begainWriteDocument();
    EXPECT_EQ(doc->currentPage(), nullptr);
    doc->endWritePage(); // no page: nothing happens
    doc->begainWritePage({612, 792});
    doc->currentPage()->allRunTextArray().push_back(makeRun(QVFlowFamily::RTF, {u"new", 72, 60}));
    doc->endWritePage();
    doc->packetDocxFile();
    const std::string rtf = read(path("again.rtf"));
    EXPECT_EQ(rtf.find("old"), std::string::npos);
    EXPECT_NE(rtf.find("new"), std::string::npos);
    EXPECT_EQ(filesIn(folder_), std::vector<std::string>{"again.rtf"});
}

TEST_F(FlowDocument, PagesAreNumberedAndTheAnnouncedLastIsLast) {
    const struct {
        int64_t announced, begun;
        std::vector<bool> last;
    } cases[] = {{3, 3, {false, false, true}},
                 {1, 1, {true}},
                 {3, 2, {false, false}},
                 {2, 3, {false, true, true}}};
    for (const auto& c : cases) {
        auto doc = QVFlowPDFConverter::initWithPath(QVFlowFamily::Text, path("n.txt"), c.announced);
        doc->begainWriteDocument();
        for (int64_t i = 0; i < c.begun; ++i) {
            QVDocx_NextDrawIndex = 7;
            doc->begainWritePage({100, 100});
            EXPECT_EQ(QVDocx_NextDrawIndex, 0u);
            EXPECT_EQ(doc->currentDocxPageIndex(), i + 1);
            EXPECT_EQ(doc->currentPage()->isLastPage(), c.last[size_t(i)]) << c.announced;
            doc->endWritePage();
        }
    }
}

TEST_F(FlowDocument, ProcessWideStatesStartAnewWithEveryDocument) {
    convert(QVFlowFamily::HTML, "one.html",
            {{{{u"a", 10, 60, 10, 20}}, {{u"b", 10, 90, 10, 30, "Other"}}}});
    convert(QVFlowFamily::RTF, "one.rtf", {{{{u"a", 10, 60, 10, 12, "Other"}}}});
    QVDocx_NextPictZIndex = 5;
    convert(QVFlowFamily::HTML, "two.html", {{{{u"c", 10, 60}}}});
    EXPECT_EQ(QVDocx_NextPictZIndex, -251657498);
    EXPECT_EQ(QVDocx_FormatVersion, 2006);
    const std::string two = read(path("two.html"));
    EXPECT_NE(two.find("<p class=\"p0\"><span class=\"s0\">c"), std::string::npos) << two;
    EXPECT_EQ(two.find("p.p1"), std::string::npos) << two;
    convert(QVFlowFamily::RTF, "two.rtf", {{{{u"c", 10, 60}}}});
    EXPECT_NE(read(path("two.rtf")).find("\\f1\\fnil\\fcharset0 Times New Roman;}"),
              std::string::npos);
}
