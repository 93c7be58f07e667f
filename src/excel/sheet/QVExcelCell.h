#pragma once
// One worksheet cell: the string item it shows, its cell format and its value
// (a shared-string index for text, the plain number for numbers).

#include "excel/analysis/QVExcelStringItem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class XMLFileWriter;

class QVExcelCell {
public:
    static constexpr uint32_t kNoStyle = 0xFFFFFFFFu;

    const std::shared_ptr<QVExcelStringItem>& stringItem() const { return stringItem_; }
    void setStringItem(std::shared_ptr<QVExcelStringItem> v) { stringItem_ = std::move(v); }
    /// Index of the cell format; kNoStyle for none.
    uint32_t styleIndex() const { return styleIndex_; }
    void setStyleIndex(uint32_t v) { styleIndex_ = v; }
    /// "s" (shared string) or "n" (number).
    const std::string& dataType() const { return dataType_; }
    void setDataType(std::string v) { dataType_ = std::move(v); }
    const std::optional<std::string>& cellValue() const { return cellValue_; }
    void setCellValue(std::optional<std::string> v) { cellValue_ = std::move(v); }
    bool isText() const { return isText_; }
    void setIsText(bool v) { isText_ = v; }
    bool isCompleted() const { return isCompleted_; }
    void setIsCompleted(bool v) { isCompleted_ = v; }

    /// 1-based row and column of the item shown; 0 without an item.
    uint64_t rowIndex() const { return stringItem_ ? stringItem_->rowIndex() : 0; }
    uint64_t columnIndex() const { return stringItem_ ? stringItem_->columnIndex() : 0; }

    /// Writes the "c" element; nothing for a cell whose item has no cell name.
    void writeXML(XMLFileWriter& writer) const;

private:
    std::shared_ptr<QVExcelStringItem> stringItem_;
    uint32_t styleIndex_ = kNoStyle;
    std::string dataType_ = "s";
    std::optional<std::string> cellValue_;
    bool isText_ = false;
    bool isCompleted_ = false;
};
