#pragma once
// One converted PDF page of the document: the runs the exporter collects
// while the page is interpreted, and the paragraphs the layout makes of them
// at the page end. Positions are display-space points (y downward).

#include "docx/QVDocxProperties.h"
#include "docx/QVDocxTextBoxInfo.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/image/RasterImage.h"

class QVDocxParagraph;
class QVDocxRunPict;
class QVDocxRunText;
class XMLFileWriter;

class QVDocxPage {
public:
    using RunTextArray = std::vector<std::shared_ptr<QVDocxRunText>>;
    using RunPictArray = std::vector<std::shared_ptr<QVDocxRunPict>>;
    using ParagraphArray = std::vector<std::unique_ptr<QVDocxParagraph>>;
    using RunPtr = std::shared_ptr<QVDocxRunText>;
    /// Runs of one baseline, left to right, each starting where the one before ends.
    using LinePart = std::vector<RunPtr>;
    /// The parts of one visual line, left to right; also a column of a band.
    using LineSect = std::vector<LinePart>;
    /// A column regrouped into lines, top to bottom.
    using ColumnSect = std::vector<LineSect>;

    /// A page of the given size writing into the document body through `writer`
    /// (which outlives the page).
    QVDocxPage(XMLFileWriter* writer, platform::Size pageSize, bool lastPage);
    ~QVDocxPage();
    QVDocxPage(const QVDocxPage&) = delete;
    QVDocxPage& operator=(const QVDocxPage&) = delete;

    void begainWritePage(int64_t pageIndex);

    /// Makes a picture a medium of the document: its relationship id, or
    /// none when it cannot be stored.
    using PictureSink = std::function<std::optional<std::string>(const platform::RasterImage&)>;
    /// Where the page puts a drawing of too many paths for a reader to lay
    /// out as shapes; without it such a drawing is written as shapes.
    void setDrawingPictureSink(PictureSink sink) { drawingPictureSink_ = std::move(sink); }

    XMLFileWriter* documentWriter() const { return documentWriter_; }
    bool isLastPage() const { return isLastPage_; }
    const QVDocx_SectPr& sectProperty() const { return sectProperty_; }
    QVDocx_SectPr& sectProperty() { return sectProperty_; }
    ParagraphArray& paragraphArray() { return paragraphArray_; }
    RunTextArray& allRunTextArray() { return allRunTextArray_; }
    RunPictArray& runTextBoxArray() { return runTextBoxArray_; }
    RunPictArray& runImageArray() { return runImageArray_; }
    RunPictArray& runPathArray() { return runPathArray_; }
    /// Text drawn again over itself and read once: where each copy stood and
    /// when it was drawn. A fill drawn between the copies lies under the text.
    struct DrawnCopy {
        platform::Rect rect;
        uint64_t drawIndex = 0;
    };
    std::vector<DrawnCopy>& droppedTextCopies() { return droppedTextCopies_; }

    bool isUsingTextBox() const { return isUsingTextBox_; }
    void setIsUsingTextBox(bool v) { isUsingTextBox_ = v; }
    bool isUsingTextPath() const { return isUsingTextPath_; }
    void setIsUsingTextPath(bool v) { isUsingTextPath_ = v; }
    /// Frames of the open text box and text path, and the path's text so far.
    QVDocxTextBoxInfo& cachedTextBoxInfo() { return cachedTextBoxInfo_; }
    QVDocxTextPathInfo& cachedTextPathInfo() { return cachedTextPathInfo_; }
    std::u16string& cachedTextPathString() { return cachedTextPathString_; }

    // Paragraphs of the open text box.
    /// Resolves the box's last paragraph and starts a new one with its properties.
    QVDocxParagraph& newTextBoxParagraph();
    QVDocxParagraph* lastTextBoxParagraph();
    double totalTextBoxHeight() const;
    double maxTextBoxWidth() const;
    ParagraphArray& cachedTextBoxParagraphs() { return cachedTextBoxParagraphs_; }

    // Run merging: pieces of text drawn one after the other on one baseline
    // with one look join into one run, with spaces for their gaps.
    /// The group of runs that joins the first of `runs` (draw order); the
    /// joining runs get their leading spaces and their position moved.
    static RunTextArray _findMergeRunArray(const RunTextArray& runs);
    /// Folds a group into its first run, which is returned.
    static std::shared_ptr<QVDocxRunText> _mergeRunArray(const RunTextArray& group);

    // Line and column geometry of the layout. Minima and maxima over several
    // values are taken in single precision; none changes its argument.
    static RunPtr _findTopRunText(const LinePart& runs);
    static RunPtr _findLeftRunText(const LinePart& runs);
    static const LinePart* _findTopBaseLinePartArray(const LineSect& parts);
    static const LinePart* _findLeftLinePartArray(const LineSect& parts);
    static double _leftXOfLinePartArray(const LinePart& part);
    static double _rightXOfLinePartArray(const LinePart& part);
    static double _minTopYOfLinePartArray(const LinePart& part);
    static double _maxBottomYOfLinePartArray(const LinePart& part);
    static double _minBaseLineOfLinePartArray(const LinePart& part);
    static double _maxBaseLineOfLinePartArray(const LinePart& part);
    static double _topYOfLineSectArray(const LineSect& sect);
    static double _bottomYOfLineSectArray(const LineSect& sect);
    static double _minLeftXOfColumnArray(const LineSect& column);
    static double _minTopYOfColumnArray(const LineSect& column);
    static double _maxBottomYOfColumnArray(const LineSect& column);
    static double _minLeftXOfColumnSectArray(const ColumnSect& columnSect);
    static double _minTopYOfDivArray(const std::vector<LineSect>& div);
    static double _maxBottomYOfDivArray(const std::vector<LineSect>& div);
    static LinePart _collectSameBaseLineRunTexts(const LinePart& runs);
    static LineSect _collectLinePartArrayInSameBaseLine(const LinePart& runs);
    static std::vector<LineSect> _collectYIntersectRunTexts(const std::vector<LineSect>& sects);
    static LineSect _collectXIntersectRunTexts(const LineSect& parts);
    static LineSect _collectYColumnIntersectRunTexts(const LineSect& parts);
    static LineSect _collectSampleBaseLineInColumnArray(const LineSect& parts);

    /// Lays the page's text out as paragraphs: lines, bands, columns, exact
    /// line heights, scripts and blank paragraphs for gaps; sets the top margin.
    void _creatParagraphs();
    /// Puts the page's floating runs into its first paragraph; pictures and
    /// paths with no text (or, for paths, no picture) painted over them later
    /// come in front of the text, except a path no text touches, which stays
    /// on the side of the path painted just before it. Paths painted one after
    /// another on one side go into the paragraph as one group.
    void _insertFloatRunPicts();
    /// A text run of the laid-out paragraphs, or a copy of one read once,
    /// painted after `drawIndex` overlaps `rect`.
    bool haveTextUpperInRect(const platform::Rect& rect, uint64_t drawIndex) const;
    /// A picture painted after `drawIndex` overlaps `rect`.
    bool haveImageUpperInRect(const platform::Rect& rect, uint64_t drawIndex) const;
    /// A group of more paths than a reader lays out quickly, drawn as one
    /// picture of the same place and stacking; none for any other run, or
    /// when the picture cannot be made.
    std::shared_ptr<QVDocxRunPict> drawingPicture(const QVDocxRunPict& run) const;
    /// Any text of the page, painted before or after, a text box included, overlaps `rect`.
    bool haveTextInRect(const platform::Rect& rect) const;
    /// A picture was painted after draw order `after` and before `before`.
    bool haveImagePaintedBetween(uint64_t after, uint64_t before) const;

    /// Lays the page out, ends its sections and writes its paragraphs into the
    /// body; the last page also writes the body's section properties.
    /// `pageIndex` counts from 1.
    void endWritePage(int64_t pageIndex);

private:
    void _writeParagraphs(XMLFileWriter& writer, int64_t pageIndex);
    void _writeLastPageProperty();

    XMLFileWriter* documentWriter_ = nullptr;
    bool isLastPage_ = false;
    QVDocx_SectPr sectProperty_;
    ParagraphArray paragraphArray_;
    RunTextArray allRunTextArray_;
    RunPictArray runTextBoxArray_;
    RunPictArray runImageArray_;
    RunPictArray runPathArray_;
    PictureSink drawingPictureSink_;
    std::vector<DrawnCopy> droppedTextCopies_;
    bool isUsingTextBox_ = false;
    ParagraphArray cachedTextBoxParagraphs_;
    bool isUsingTextPath_ = false;
    QVDocxTextBoxInfo cachedTextBoxInfo_;
    QVDocxTextPathInfo cachedTextPathInfo_;
    std::u16string cachedTextPathString_;
};
