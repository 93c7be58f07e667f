#pragma once
// One paragraph of a flowing-text page: its runs in reading order with its
// paragraph, run and section properties. The page layout makes paragraphs
// from rows of runs and adds blank ones for vertical space; the page writer
// opens a new output paragraph or line for it (writeNewLineWithXMLWriter,
// HTML and RTF) and has it write its runs. Operations that look for run
// texts skip runs of another family.

#include "docx/QVDocxProperties.h"
#include "flow/QVFlowRun.h"

#include <memory>
#include <vector>

class QVFlowFileWriter;
class QVFlowRunText;

class QVFlowParagraph {
public:
    using RunArray = std::vector<std::shared_ptr<QVFlowRun>>;
    using ParagraphArray = std::vector<std::unique_ptr<QVFlowParagraph>>;

    virtual ~QVFlowParagraph() = default;
    QVFlowParagraph(const QVFlowParagraph&) = delete;
    QVFlowParagraph& operator=(const QVFlowParagraph&) = delete;

    /// A new paragraph of the family with the initial values.
    static std::unique_ptr<QVFlowParagraph> make(QVFlowFamily family);
    /// A new paragraph of the family holding the runs, resolved once.
    static std::unique_ptr<QVFlowParagraph> initWithRunArray(QVFlowFamily family, RunArray runs);
    /// n blank paragraphs (n = space / the larger of spaceLine and the run
    /// size, rounded down, from 1 to 5) of line space / n each, so that they
    /// fill the space exactly. Five is as many as any writer keeps in a row,
    /// so a huge gap cannot make millions of them.
    static ParagraphArray BankParagraph(QVFlowFamily family, double space, double spaceLine,
                                        double indLeft, const QVDocx_RPr& rProperty,
                                        const QVDocx_SectPr& sectProperty);

    QVFlowFamily family() const { return family_; }
    /// Same class and properties; the runs are shared, the array is new.
    std::unique_ptr<QVFlowParagraph> copyWithZone() const;

    QVFlowRun* lastRun() const;
    QVFlowRunText* firstRunText() const;
    QVFlowRunText* lastRunText() const;
    bool isHaveMainText() const { return firstRunText() != nullptr; }
    /// At least one run text with non-empty text.
    bool haveText() const;
    /// Sum of the run texts' widths.
    double textWidth() const;

    /// Indent from the first run text's start on the page, run properties
    /// from the last run text, resolvedHeight = largest size - line height.
    double resolveProperty();
    /// Indent from the first run text's start minus xColumnPosition; false
    /// (and nothing changed) without run texts.
    bool resolveColumnProperty();

    /// Opens a new output paragraph or line; the plain-text paragraph has none.
    virtual void writeNewLineWithXMLWriter(QVFlowFileWriter& /*writer*/) {}
    /// Every run in order; a paragraph without runs writes one line break.
    void writeWithXMLWriter(QVFlowFileWriter& writer) const;

    const QVDocx_PPr& pProperty() const { return pProperty_; }
    void setPProperty(QVDocx_PPr v) { pProperty_ = std::move(v); }
    const QVDocx_RPr& rProperty() const { return rProperty_; }
    void setRProperty(QVDocx_RPr v) { rProperty_ = std::move(v); }
    const QVDocx_SectPr& sectProperty() const { return sectProperty_; }
    void setSectProperty(QVDocx_SectPr v) { sectProperty_ = std::move(v); }
    const QVDocx_PgMar& textMargin() const { return textMargin_; }
    void setTextMargin(const QVDocx_PgMar& v) { textMargin_ = v; }
    RunArray& runArray() { return runArray_; }
    const RunArray& runArray() const { return runArray_; }
    void setRunArray(RunArray v) { runArray_ = std::move(v); }
    double resolvedHeight() const { return resolvedHeight_; }
    void setResolvedHeight(double v) { resolvedHeight_ = v; }
    bool breakColumn() const { return breakColumn_; }
    void setBreakColumn(bool v) { breakColumn_ = v; }
    double xColumnPosition() const { return xColumnPosition_; }
    void setXColumnPosition(double v) { xColumnPosition_ = v; }
    /// Whether the output line this paragraph opens holds two or more
    /// spaces in a row (in its runs' text or between paragraphs joined on
    /// it): spaces that align its parts and must not be folded.
    bool lineHoldsSpaceRun() const { return lineHoldsSpaceRun_; }
    void setLineHoldsSpaceRun(bool v) { lineHoldsSpaceRun_ = v; }

protected:
    explicit QVFlowParagraph(QVFlowFamily family);

private:
    QVFlowRunText* runTextAt(const std::shared_ptr<QVFlowRun>& run) const;

    QVFlowFamily family_;
    QVDocx_PPr pProperty_;
    QVDocx_RPr rProperty_;
    QVDocx_SectPr sectProperty_;
    QVDocx_PgMar textMargin_;
    RunArray runArray_;
    double resolvedHeight_ = 0;
    bool breakColumn_ = false;
    double xColumnPosition_ = 0;
    bool lineHoldsSpaceRun_ = false;
};
