#pragma once
// The text of one cell: the runs the table analysis placed in one row and
// column of a page, in reading order, with the box they cover and the span
// of cells they need. It becomes one shared string and one cell.

#include "excel/QVExcelUtilities.h"
#include "excel/analysis/QVExcelRunText.h"
#include "excel/analysis/QVExcelStringItemInfo.h"
#include "excel/workbook/QVExcelSharedStringItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class XMLFileWriter;

class QVExcelStringItem : public QVExcelSharedStringItem {
public:
    using RunList = std::vector<std::shared_ptr<QVExcelRunText>>;

    int64_t index() const { return index_; }
    void setIndex(int64_t v) { index_ = v; }
    double lineSpacing() const { return lineSpacing_; }
    void setLineSpacing(double v) { lineSpacing_ = v; }
    uint64_t rowIndex() const { return rowIndex_; }
    void setRowIndex(uint64_t v) { rowIndex_ = v; }
    uint64_t columnIndex() const { return columnIndex_; }
    void setColumnIndex(uint64_t v) { columnIndex_ = v; }
    uint64_t rowLength() const { return rowLength_; }
    void setRowLength(uint64_t v) { rowLength_ = v; }
    uint64_t columnLength() const { return columnLength_; }
    void setColumnLength(uint64_t v) { columnLength_ = v; }
    const RunList& textRuns() const { return textRuns_; }
    RunList& textRuns() { return textRuns_; }
    const QVExcelStringItemInfo& itemInfo() const { return itemInfo_; }
    QVExcelStringItemInfo& itemInfo() { return itemInfo_; }
    /// Carried, not written.
    const QVExcel_SI_PhoneticPr& phoneticPr() const { return phoneticPr_; }
    void setPhoneticPr(QVExcel_SI_PhoneticPr v) { phoneticPr_ = std::move(v); }

    /// The runs' texts in order. Runs that meet with a letter or digit on
    /// both sides, in a script that separates words with spaces, are joined
    /// with one space so their words stay apart; CJK text joins with nothing.
    std::u16string content() const;
    /// Sum of the runs' widths.
    double textWidth() const;
    /// The largest run size, never below 12.0.
    double maxFontSize() const;
    /// The first run's properties; none when there are no runs.
    const QVExcelRunTextProperty* runProperty() const;
    /// Two or more runs, some after the first with other properties than the first's.
    bool isAttributeRunText() const;
    /// The run stands in the item's row and column.
    bool containRunText(const QVExcelRunText& run) const;
    std::shared_ptr<QVExcelRunText> lastTextRun() const;
    /// Box = union of the runs' boxes; spans = the largest of the runs'.
    void calculatStringItemInfo();
    /// Writes the item as one shared string ("si" of rich-text runs).
    void writeXMLWith(XMLFileWriter& writer) const override;

    /// True when text ending in `left` and text starting with `right` need a
    /// space between them to keep their words apart.
    static bool needsWordSpace(std::u16string_view left, std::u16string_view right);
    /// The first and the last code point of non-empty text (a surrogate pair
    /// read as one).
    static char32_t firstCharacter(std::u16string_view text);
    static char32_t lastCharacter(std::u16string_view text);

private:
    int64_t index_ = 0;
    double lineSpacing_ = 0;
    uint64_t rowIndex_ = 0;
    uint64_t columnIndex_ = 0;
    uint64_t rowLength_ = 0;
    uint64_t columnLength_ = 0;
    RunList textRuns_;
    QVExcelStringItemInfo itemInfo_;
    QVExcel_SI_PhoneticPr phoneticPr_ = QVExcelUtilities::defaultPhoneticProperty();
};
