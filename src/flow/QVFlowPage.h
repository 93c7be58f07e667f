#pragma once
// One converted page of the flowing-text outputs. While the page is
// interpreted the exporter appends a run text per string of main text to
// allRunTextArray; when the page ends, the page lays its runs out into
// paragraphs in reading order and writes them into its family's file writer.
//
// The layout is shared by the three families (QVHTMLPage, QVRTFPage,
// QVTextPage); only the plain-text page has no text margin and its own way
// of joining paragraphs. Positions are display-space points (origin at the
// page's top-left corner, y downward).
//
// Layout vocabulary:
//  - line: runs whose baselines lie within 1.0 of the baseline of the
//    line's topmost run, left to right, with the lines of superscripts and
//    subscripts that belong to it;
//  - line part: runs of a line that touch (each starts within 1.0 of where
//    the previous one ends, or is a script stacked over the one before);
//  - line sect: one line as its list of line parts;
//  - div: a band of line sects each less than half a line below the band,
//    later a list of columns. A line across the columns just above or below
//    them is a div of its own; a band whose columns step from line to line
//    like spaced table rows splits again where its lines neither overlap nor
//    touch, so table rows read across; text under only the longest column
//    of the div above, below the other columns' ends, goes on in that
//    column;
//  - column: the line parts of a div whose horizontal extents overlap or
//    come within 8.0, top to bottom; later split into rows;
//  - row: line parts of a column whose bottoms lie within 1.0 of the first's.
//
// Minima and maxima over two or more values are taken in single precision
// and every ordering is stable, so equal keys keep their order.

#include "docx/QVDocxProperties.h"
#include "flow/QVFlowParagraph.h"
#include "flow/QVFlowRunText.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QVFlowFileWriter;

class QVFlowPage {
public:
    using RunPtr = std::shared_ptr<QVFlowRunText>;
    using RunTextArray = std::vector<RunPtr>;
    using LinePart = std::vector<RunPtr>;
    using LineSect = std::vector<LinePart>;
    using Column = std::vector<LinePart>;
    using Row = std::vector<LinePart>;
    using ColumnSect = std::vector<Row>;
    using Div = std::vector<Column>;
    using ParagraphArray = QVFlowParagraph::ParagraphArray;

    /// A page of the family writing into `writer` (which outlives the page;
    /// may be none, then nothing is written). The last page ends its section
    /// with type 0, every other page continuously.
    static std::unique_ptr<QVFlowPage> initWithXMLWriter(QVFlowFamily family,
                                                         QVFlowFileWriter* writer,
                                                         platform::Size pageSize, bool lastPage);
    virtual ~QVFlowPage() = default;
    QVFlowPage(const QVFlowPage&) = delete;
    QVFlowPage& operator=(const QVFlowPage&) = delete;

    QVFlowFamily family() const { return family_; }
    QVFlowFileWriter* documentWriter() const { return documentWriter_; }
    bool isLastPage() const { return isLastPage_; }
    const QVDocx_PgMar& textMargin() const { return textMargin_; }
    const QVDocx_SectPr& sectProperty() const { return sectProperty_; }
    void setSectProperty(QVDocx_SectPr v) { sectProperty_ = std::move(v); }
    ParagraphArray& paragraphArray() { return paragraphArray_; }
    RunTextArray& allRunTextArray() { return allRunTextArray_; }
    bool isUsingTextBox() const { return isUsingTextBox_; }
    void setIsUsingTextBox(bool v) { isUsingTextBox_ = v; }
    ParagraphArray& cachedTextBoxParagraphs() { return cachedTextBoxParagraphs_; }
    bool isUsingTextPath() const { return isUsingTextPath_; }
    void setIsUsingTextPath(bool v) { isUsingTextPath_ = v; }
    std::u16string& cachedTextPathString() { return cachedTextPathString_; }

    // Section and page breaks do not exist in a flowing file.
    void insertPageBreak() {}
    void insertSectionPageBreak() {}
    void insertSectionContinuesBreak() {}
    void insertSectionColumnBreak() {}

    double paragraphsHeight() const;
    bool isFullParagraph(double height) const;
    QVFlowParagraph* lastParagraph() const;
    /// Resolves the last paragraph and appends a new one with this line
    /// height, indent and run properties.
    void newParagraph(double lineHeight, double indLeft, const QVDocx_RPr& rProperty);
    double totalTextBoxHeight() const;
    double maxTextBoxWidth() const;
    /// A new line of the open text box, with the resolved properties of the one before.
    void newTextBoxParagraph();
    QVFlowParagraph* lastTextBoxParagraph() const;

    // Orderings: the list sorted by the key, stable.
    static RunTextArray _sortedByTop(RunTextArray runs);
    static RunTextArray _sortedByStart(RunTextArray runs);
    static std::vector<LinePart> _sortedByLinePartTop(std::vector<LinePart> parts);
    static std::vector<LinePart> _sortedByLinePartLeft(std::vector<LinePart> parts);
    /// The element with the smallest key (the first of equals); none when empty.
    static RunPtr _findTopRunText(const RunTextArray& runs);
    static RunPtr _findLeftRunText(const RunTextArray& runs);
    static const LinePart* _findTopLinePartArray(const std::vector<LinePart>& parts);
    static const LinePart* _findLeftLinePartArray(const std::vector<LinePart>& parts);

    // Groupings: the first group of the list.
    static RunTextArray _collectSameBaseLineRunTexts(const RunTextArray& runsInTopOrder);
    static LineSect _collectLinePartArrayInSameBaseLine(const RunTextArray& lineByStart);
    static std::vector<LineSect> _collectYIntersectRunTexts(const std::vector<LineSect>& sects);
    static Column _collectXIntersectRunTexts(const std::vector<LinePart>& partsByLeft);
    /// The first row, ordered by left.
    static Row _collectSampleBottomYInColumnArray(const Column& columnByTop);
    /// The row that starts at line part `first` of the column.
    static Row _rowAt(const Column& columnByTop, size_t first);

    // Measures; an empty list gives 0 unless said otherwise.
    static double _leftXOfLinePartArray(const LinePart& part);
    static double _rightXOfLinePartArray(const LinePart& part);
    static double _minTopYOfLinePartArray(const LinePart& part);
    static double _maxBottomYOfLinePartArray(const LinePart& part);
    /// Starts from 90000, so an empty line sect gives 90000.
    static double _topYOfLineSectArray(const LineSect& sect);
    static double _bottomYOfLineSectArray(const LineSect& sect);
    static double _minLeftXOfColumnArray(const Column& column);
    static double _minLeftXOfColumnSectArray(const ColumnSect& rows);
    static double _minTopYOfColumnArray(const Column& column);
    static double _maxBottomYOfColumnArray(const Column& column);
    static double _minTopYOfDivArray(const Div& div);
    static double _maxBottomYOfDivArray(const Div& div);
    static platform::Rect _rectOfLinePartArray(const LinePart& part);
    static platform::Rect _rectOfLineSectArray(const LineSect& sect);

    /// The grouping stages: the page's runs as divs top to bottom, each a
    /// list of columns left to right, each column's line parts top to
    /// bottom. Sets the text margin (HTML and RTF pages).
    std::vector<Div> _groupDivs();
    /// Paragraph building from the divs; appends to paragraphArray.
    void _buildParagraphs(std::vector<Div> divs);
    /// Both halves of the layout.
    void _creatParagraphs();

    /// Empties the paragraph list; the page number is not used.
    void begainWritePage(int64_t pageIndex);
    /// Lays the page out and writes its paragraphs.
    void endWritePage(int64_t pageIndex);
    virtual void _writeParagraphs(QVFlowFileWriter& writer) = 0;

protected:
    QVFlowPage(QVFlowFamily family, QVFlowFileWriter* writer, platform::Size pageSize,
               bool lastPage);
    /// The shared writing of the HTML and RTF pages.
    void _writeParagraphsWithTextMargin(QVFlowFileWriter& writer);
    /// Marks each paragraph that opens an output line with whether that line
    /// holds a run of spaces (see QVFlowParagraph::lineHoldsSpaceRun).
    void _noteLinesHoldingSpaceRuns();
    /// At most this many blanks are written for one gap between joined paragraphs.
    static constexpr int32_t kMaxGapSpaces = 64;

private:
    bool hasTextMargin() const { return family_ != QVFlowFamily::Text; }

    QVFlowFamily family_;
    QVFlowFileWriter* documentWriter_ = nullptr;
    bool isLastPage_ = false;
    QVDocx_PgMar textMargin_;
    QVDocx_SectPr sectProperty_;
    ParagraphArray paragraphArray_;
    RunTextArray allRunTextArray_;
    bool isUsingTextBox_ = false;
    ParagraphArray cachedTextBoxParagraphs_;
    bool isUsingTextPath_ = false;
    std::u16string cachedTextPathString_;
};
