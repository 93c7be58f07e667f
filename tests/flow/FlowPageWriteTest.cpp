#include "FlowFixture.h"

#include "flow/html/QVHTMLFileWriter.h"
#include "flow/html/QVHTMLState.h"
#include "flow/rtf/QVRTFFileWriter.h"
#include "flow/rtf/QVRTFState.h"
#include "flow/text/QVTextFileWriter.h"

using flowtest::makeRun;
using flowtest::RunSpec;

namespace {

class FlowPageWrite : public flowtest::ScratchTest {
protected:
    /// Writes the paragraphs (each a list of runs; none: a blank paragraph)
    /// as one page of the family and returns the file's bytes.
    std::string write(QVFlowFamily family, const std::vector<std::vector<RunSpec>>& paragraphs,
                      const std::vector<double>& spaceWidths = {}) {
        const std::string file = path("page" + std::to_string(++count_));
        std::unique_ptr<QVFlowFileWriter> writer;
        switch (family) {
        case QVFlowFamily::HTML:
            writer = QVHTMLFileWriter::initWithPath(file);
            break;
        case QVFlowFamily::RTF:
            writer = QVRTFFileWriter::initWithPath(file);
            break;
        case QVFlowFamily::Text:
            writer = QVTextFileWriter::initWithPath(file);
            break;
        }
        QVHTMLState::sharedInstance().resetToDefault();
        QVRTFState::sharedInstance().resetToDefault();
        auto page = QVFlowPage::initWithXMLWriter(family, writer.get(), {612, 792}, false);
        size_t k = 0;
        for (const auto& runs : paragraphs) {
            QVFlowParagraph::RunArray array;
            for (const RunSpec& s : runs) {
                auto run = makeRun(family, s);
                if (k < spaceWidths.size())
                    run->setSpaceWidth(spaceWidths[k]);
                ++k;
                array.push_back(run);
            }
            page->paragraphArray().push_back(
                QVFlowParagraph::initWithRunArray(family, std::move(array)));
        }
        page->_writeParagraphs(*writer);
        writer->closeFile();
        return read(file);
    }

    static std::string between(const std::string& s, const std::string& a, const std::string& b) {
        const size_t i = s.find(a);
        const size_t j = s.find(b, i == std::string::npos ? 0 : i + a.size());
        if (i == std::string::npos || j == std::string::npos)
            return "<not found in " + s + ">";
        return s.substr(i + a.size(), j - i - a.size());
    }

    int count_ = 0;
};

} // namespace

TEST_F(FlowPageWrite, SameLineRuleAndTheBlanksOfAJoin) {
    // "A" ends at x = 20; "B" starts at 20 + gap on a bottom dy lower.
    const struct {
        double dy, gap, spaceWidth;
        std::string expected;
    } cases[] = {
        {2.0, 10, 4, "   "}, // ceil(10 / 4) blanks
        {-2.0, 0.1, 4, " "},
        {0, 0, 4, "    "},                    // no gap: the indentation (four blanks in RTF)
        {0, -5, 4, "    "},                   // overlap: the same
        {0, 1000, 1, std::string(64, ' ')},   // at most 64 blanks for one gap
        {0, 10, 0, ""},                       // no space width: nothing
        {2.01, 10, 4, "\\par\\pard\\li600 "}, // more than 2.0 lower: a new line
    };
    for (const auto& c : cases) {
        const std::string out =
            write(QVFlowFamily::RTF, {{{u"A", 10, 100}}, {{u"B", 20 + c.gap, 100 + c.dy}}},
                  {4, c.spaceWidth});
        EXPECT_EQ(between(out, "A", "B"), c.expected) << c.dy << " " << c.gap;
    }
    // The blanks follow the space width of the joined paragraph's last run.
    const std::string out = write(
        QVFlowFamily::HTML, {{{u"A", 10, 100}}, {{u"B", 30, 100}, {u"C", 60, 100}}}, {1, 100, 5});
    EXPECT_EQ(between(out, "A", "B"), "  ");
    // The plain-text page joins a line with its indentation.
    EXPECT_EQ(write(QVFlowFamily::Text, {{{u"A", 10, 100}}, {{u"B", 300, 101}}}), "\nA    B");
}

TEST_F(FlowPageWrite, BlankParagraphCounts) {
    const std::vector<RunSpec> text{{u"T", 10, 100}};
    const std::vector<RunSpec> lower{{u"U", 10, 200}};
    const struct {
        QVFlowFamily family;
        std::vector<std::vector<RunSpec>> paragraphs;
        std::string blank; ///< what one written blank paragraph leaves
        size_t blanks;
    } cases[] = {
        // HTML and RTF: of blank paragraphs in a row only the first is
        // written; at the top of the page the first two.
        {QVFlowFamily::RTF, {text, {}, {}, {}, lower}, "\\\n", 1},
        {QVFlowFamily::RTF, {{}, {}, {}, lower}, "\\\n", 2},
        {QVFlowFamily::HTML, {text, {}, {}, {}, lower}, "<br>", 1},
        {QVFlowFamily::HTML, {{}, {}, {}, lower}, "<br>", 2},
        {QVFlowFamily::HTML, {text, {}, {}, {}, {}, {}, {}, {}, lower}, "<br>", 1},
    };
    for (const auto& c : cases) {
        const std::string out = write(c.family, c.paragraphs);
        size_t n = 0;
        for (size_t i = 0; (i = out.find(c.blank, i)) != std::string::npos; i += c.blank.size())
            ++n;
        EXPECT_EQ(n, c.blanks) << out;
    }
    // Plain text: each blank is a separator and its own break; the writer keeps five.
    EXPECT_EQ(write(QVFlowFamily::Text, {text, {}, {}, {}, lower}), "\nT\n\n\n\n\nU");
    EXPECT_EQ(write(QVFlowFamily::Text, {}), "");
}

TEST_F(FlowPageWrite, HtmlPageClosesItsTagsAndRegistersClassesOnce) {
    const std::string out =
        write(QVFlowFamily::HTML, {{{u"x", 10, 100}, {u"y", 20, 100}}, {{u"z", 10, 130}}});
    EXPECT_EQ(out, "\n<p class=\"p0\"><span class=\"s0\">xy</span></p>"
                   "\n<p class=\"p0\"><span class=\"s0\">z</span></p>");
    EXPECT_EQ(QVHTMLState::sharedInstance().registeredParagraphCount(), 1u);
    EXPECT_FALSE(QVHTMLState::sharedInstance().isParagraphWrited());
    EXPECT_EQ(write(QVFlowFamily::HTML, {}), ""); // no paragraphs: not even closing tags
}
