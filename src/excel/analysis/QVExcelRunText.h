#pragma once
// One text run of a page: text shown with one set of properties, its glyph
// geometry in display space, and the grid position the table analysis gives
// it. Runs are shared between the page's run list and the string items.

#include "excel/analysis/QVExcelRun.h"
#include "excel/analysis/QVExcelRunTextProperty.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QVExcelRunText : public QVExcelRun {
public:
    QVExcelRunText() = default;

    /// A new run with the same draw index, geometry, text and properties;
    /// width, grid position and spans start at 0.
    std::shared_ptr<QVExcelRunText> copy() const;

    const std::u16string& text() const { return text_; }
    /// The text as one piece.
    void setText(std::u16string v) {
        text_ = std::move(v);
        pieceStarts_.clear();
    }
    /// Appends a piece: a further string, or the blank put between two.
    void appendText(std::u16string_view more);
    /// Appends the text of `other` as a piece, keeping the pieces it was joined from.
    void appendRun(const QVExcelRunText& other);
    /// Keeps `length` units of the text from `from` on (blanks cut from the edges).
    void keepText(size_t from, size_t length);
    /// Where the pieces this run was joined from begin in its text, in
    /// ascending order (offsets above 0): the strings of the page and the
    /// blanks put between them. A blank beside such an offset was a gap
    /// between two pieces, not a character printed inside one string, so it
    /// may stand between two separate numbers ("200" "100").
    const std::vector<uint32_t>& pieceStarts() const { return pieceStarts_; }
    /// Set on a number drawn one word space (`heldJoinSpace`, display space)
    /// after the number drawn just before it on its line: the capture keeps
    /// the two apart and the table analysis decides whether they are one
    /// text ("200 100") or the cells of two tight columns.
    bool isHeldJoin() const { return isHeldJoin_; }
    double heldJoinSpace() const { return heldJoinSpace_; }
    void holdJoin(double space) {
        isHeldJoin_ = true;
        heldJoinSpace_ = space;
    }
    void clearHeldJoin() { isHeldJoin_ = false; }
    const QVExcelRunTextProperty& rPr() const { return rPr_; }
    QVExcelRunTextProperty& rPr() { return rPr_; }
    void setRPr(QVExcelRunTextProperty v) { rPr_ = std::move(v); }
    /// Width of the text in display space; the sum of the parts for a joined run.
    double textWidth() const { return textWidth_; }
    void setTextWidth(double v) { textWidth_ = v; }
    /// 1-based grid position; 0 until the table analysis sets it.
    uint64_t columnIndex() const { return columnIndex_; }
    void setColumnIndex(uint64_t v) { columnIndex_ = v; }
    uint64_t rowIndex() const { return rowIndex_; }
    void setRowIndex(uint64_t v) { rowIndex_ = v; }
    /// Number of further columns (rows) the run spans.
    uint64_t columnLength() const { return columnLength_; }
    void setColumnLength(uint64_t v) { columnLength_ = v; }
    uint64_t rowLength() const { return rowLength_; }
    void setRowLength(uint64_t v) { rowLength_ = v; }

    /// The run's box: origin (xLeft, yTop), width textWidth, height yBottom - yTop.
    platform::Rect frame() const;
    platform::Rect displayRect() const override { return frame(); }

    /// Writes the run as one rich-text run ("r") of a shared string; `leading`
    /// goes before its text (the space that keeps it apart from the run before).
    /// At most `maxLength` UTF-16 units of the two are written (a character
    /// outside the BMP is never cut in half).
    void writeXMLWith(XMLFileWriter& writer, std::u16string_view leading = {},
                      size_t maxLength = std::u16string::npos) const;
    void writeWithXMLWriter(XMLFileWriter& writer) const override { writeXMLWith(writer); }

private:
    std::u16string text_;
    std::vector<uint32_t> pieceStarts_;
    QVExcelRunTextProperty rPr_;
    double textWidth_ = 0;
    uint64_t columnIndex_ = 0;
    uint64_t rowIndex_ = 0;
    uint64_t columnLength_ = 0;
    uint64_t rowLength_ = 0;
    double heldJoinSpace_ = 0;
    bool isHeldJoin_ = false;
};
