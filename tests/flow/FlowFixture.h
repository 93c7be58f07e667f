#pragma once
// Helpers of the flowing-text tests: run texts placed on a page by hand, a
// scratch folder per test, and reading a written file back.

#include "docx/QVDocxUtilities.h"
#include "flow/QVFlowPage.h"
#include "flow/html/QVHTMLRunText.h"
#include "flow/rtf/QVRTFRunText.h"
#include "flow/text/QVTextRunText.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace flowtest {

struct RunSpec {
    std::u16string text;
    double x = 0;      ///< start of the run
    double bottom = 0; ///< bottom of its glyph box
    double width = 10; ///< advance
    float size = 12;   ///< font size: also the glyph box height
    std::string font = "Times New Roman";
    /// Baseline: the bottom when not given (a run without descent).
    std::optional<double> baseline = std::nullopt;
};

inline std::shared_ptr<QVFlowRunText> makeRun(QVFlowFamily family, const RunSpec& s) {
    std::shared_ptr<QVFlowRunText> run;
    switch (family) {
    case QVFlowFamily::HTML:
        run = std::make_shared<QVHTMLRunText>();
        break;
    case QVFlowFamily::RTF:
        run = std::make_shared<QVRTFRunText>();
        break;
    case QVFlowFamily::Text:
        run = std::make_shared<QVTextRunText>();
        break;
    }
    QVPDF_CTMInfo info;
    info.topLeft = {s.x, s.bottom - s.size};
    info.bottomLeft = {s.x, s.bottom};
    info.yBase = s.baseline.value_or(s.bottom);
    info.yTop = info.yBase - s.size; // the em above the baseline
    info.fontSize = {s.size, s.size};
    run->setCtmInfo(info);
    QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
    r.sz = s.size;
    r.rFonts.ascii = s.font;
    run->setRProperty(r);
    run->setRunText(s.text);
    run->setTextWidth(s.width);
    run->setSpaceWidth(s.size / 4.0);
    return run;
}

/// A page of the family without a writer, holding the runs.
inline std::unique_ptr<QVFlowPage> pageWith(QVFlowFamily family, const std::vector<RunSpec>& runs,
                                            platform::Size size = {612, 792},
                                            QVFlowFileWriter* writer = nullptr) {
    auto page = QVFlowPage::initWithXMLWriter(family, writer, size, false);
    page->begainWritePage(1);
    for (const RunSpec& s : runs)
        page->allRunTextArray().push_back(makeRun(family, s));
    return page;
}

/// The texts of a paragraph's runs joined.
inline std::u16string textOf(const QVFlowParagraph& p) {
    std::u16string out;
    for (const auto& run : p.runArray())
        if (const QVFlowRunText* t = run->asRunText())
            out += t->runText();
    return out;
}

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = platform::systemTempFolder() + "/flowtest-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { platform::removeAll(folder_); }
    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    static std::string read(const std::string& path) {
        return platform::readFile(path).value_or("<missing>");
    }
    std::string folder_;
};

} // namespace flowtest
