#pragma once
// One worksheet row: its number, its cells and its height (the frame's).

#include "excel/sheet/QVExcelCell.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class XMLFileWriter;

class QVExcelRow {
public:
    using CellList = std::vector<std::shared_ptr<QVExcelCell>>;

    uint64_t rowIndex() const { return rowIndex_; }
    /// Sets the row's number and the row number of every cell's item.
    void setRowIndex(uint64_t v);
    const CellList& cells() const { return cells_; }
    CellList& cells() { return cells_; }
    const std::string& spans() const { return spans_; }
    void setSpans(std::string v) { spans_ = std::move(v); }
    bool customHeight() const { return customHeight_; }
    void setCustomHeight(bool v) { customHeight_ = v; }
    /// y is the row's top, height its height.
    const platform::Rect& frame() const { return frame_; }
    void setFrame(const platform::Rect& v) { frame_ = v; }
    /// Changes only the frame's height.
    void setHeight(double height) { frame_.size.height = height; }

    /// Puts the cells into ascending column order (stable).
    void sortCellsByColumn();
    /// The "ht" text: "13.5" for the default row height, else the height
    /// times 1.1 with two decimals, at most Excel's 409 points.
    std::string heightText(bool defaultRowHeight) const;
    /// Writes the "row" element with its cells.
    void writeXML(XMLFileWriter& writer, bool defaultRowHeight) const;

private:
    uint64_t rowIndex_ = 1;
    CellList cells_;
    std::string spans_ = "1:1";
    bool customHeight_ = true;
    platform::Rect frame_;
};
