#pragma once
// One worksheet column: its number, its cells and its width (the frame's).

#include "excel/sheet/QVExcelCell.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class XMLFileWriter;

class QVExcelColumn {
public:
    using CellList = std::vector<std::shared_ptr<QVExcelCell>>;

    uint64_t columnIndex() const { return columnIndex_; }
    /// Sets the column's number and the column number of every cell's item.
    void setColumnIndex(uint64_t v);
    const CellList& cells() const { return cells_; }
    CellList& cells() { return cells_; }
    bool customWidth() const { return customWidth_; }
    void setCustomWidth(bool v) { customWidth_ = v; }
    /// x is the column's left edge, width its width (points).
    const platform::Rect& frame() const { return frame_; }
    void setFrame(const platform::Rect& v) { frame_ = v; }
    /// Changes only the frame's width.
    void setWidth(double width) { frame_.size.width = width; }

    /// The "width" text: the frame's width / 3.0 × 1.1 with no decimals, at
    /// most Excel's 255 characters.
    std::string widthText() const;
    /// Writes the "col" element.
    void writeXML(XMLFileWriter& writer) const;

private:
    uint64_t columnIndex_ = 0;
    CellList cells_;
    bool customWidth_ = true;
    platform::Rect frame_;
};
