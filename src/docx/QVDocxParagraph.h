#pragma once
// One paragraph of the document: its runs in writing order with its own
// paragraph, mark and section properties. The layout makes paragraphs from a
// page's text runs, resolves their indent and exact line height from the
// runs' glyph geometry, and adds blank paragraphs for vertical gaps.
// Positions are display-space points (origin top-left, y downward).

#include "docx/QVDocxProperties.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QVDocxRun;
class QVDocxRunText;
class XMLFileWriter;

class QVDocxParagraph {
public:
    using RunArray = std::vector<std::shared_ptr<QVDocxRun>>;

    QVDocxParagraph();
    /// Holds the runs in the given order and resolves its properties from them.
    explicit QVDocxParagraph(RunArray runs);

    /// Blank paragraphs that together fill a vertical gap of `space` points:
    /// as many lines of `spaceLine` (at least the mark's font size) as fit,
    /// each stretched so that they fill the gap exactly; one paragraph when
    /// the line is under 1 pt. A gap that is not positive gets none.
    static std::vector<std::unique_ptr<QVDocxParagraph>>
    BankParagraph(double space, double spaceLine, double indLeft, const QVDocx_RPr& rProperty,
                  const QVDocx_SectPr& sectProperty);

    const QVDocx_PPr& pProperty() const { return pProperty_; }
    void setPProperty(QVDocx_PPr v) { pProperty_ = std::move(v); }
    const QVDocx_RPr& rProperty() const { return rProperty_; }
    void setRProperty(QVDocx_RPr v) { rProperty_ = std::move(v); }
    const QVDocx_SectPr& sectProperty() const { return sectProperty_; }
    void setSectProperty(QVDocx_SectPr v) { sectProperty_ = std::move(v); }
    RunArray& runArray() { return runArray_; }
    const RunArray& runArray() const { return runArray_; }
    bool breakColumn() const { return breakColumn_; }
    void setBreakColumn(bool v) { breakColumn_ = v; }
    double xColumnPosition() const { return xColumnPosition_; }
    void setXColumnPosition(double v) { xColumnPosition_ = v; }
    /// Left tab stops, in points from the column's left edge, ascending.
    const QVDocx_Tabs& tabs() const { return tabs_; }
    /// A left tab stop at `pos`; one already standing there is kept once.
    void addTabStop(double pos);

    /// The last text run, or none.
    QVDocxRunText* lastRunText() const;
    const QVDocxRunText* firstRunText() const;
    /// Sum of the text runs' widths.
    double textWidth() const;

    /// Left indent from the first text run, exact line height from the runs'
    /// sizes and their ascent-to-descent extent, mark properties from the last
    /// text run.
    void resolveProperty();
    /// Indent relative to the paragraph's column; false when there is no text run.
    bool resolveColumnProperty();
    /// Every text run gets this script position (0 normal, 1 super, 2 sub) and size.
    void setRPropertyScrpit(int32_t scrpit, double fontSize);

    /// With a page bookmark, the paragraph ends with that bookmark (the page's
    /// first paragraph marks the page).
    void writeWithXMLWriter(XMLFileWriter& writer,
                            std::optional<int64_t> pageBookmark = std::nullopt) const;
    /// The bookmark named by a page's number, where the writer stands.
    static void writePageBookmark(XMLFileWriter& writer, int64_t page);

private:

    QVDocx_PPr pProperty_;
    QVDocx_RPr rProperty_;
    QVDocx_SectPr sectProperty_;
    RunArray runArray_;
    bool breakColumn_ = false;
    double xColumnPosition_ = 0;
    QVDocx_Tabs tabs_;
};
