#pragma once
// The page model of the spreadsheet output: the runs of one converted page,
// analysed into a grid and laid out as a worksheet (string items, cells,
// rows, columns, merged ranges, cell formats) or as tab-separated text.

#include "excel/analysis/QVExcelRunText.h"
#include "excel/analysis/QVExcelStringItem.h"
#include "excel/sheet/QVExcelColumn.h"
#include "excel/sheet/QVExcelRow.h"
#include "excel/sheet/QVExcelSheetXML.h"
#include "excel/sheet/QVMergedCell.h"
#include "excel/workbook/QVExcelSheetPage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct QVExcelPageMargin {
    double top = 0, left = 0, bottom = 0, right = 0, header = 0, footer = 0;
};

class QVExcelPage : public QVExcelSheetPage {
public:
    using RunList = std::vector<std::shared_ptr<QVExcelRunText>>;
    using ItemList = std::vector<std::shared_ptr<QVExcelStringItem>>;

    /// `pageNumber`: position among the converted pages, from 1. For a work
    /// folder ending in ".xlsx" the folders xl and xl/worksheets are created.
    QVExcelPage(uint64_t pageNumber, const std::string& rootFolder);
    QVExcelPage(const QVExcelPage&) = delete;
    QVExcelPage& operator=(const QVExcelPage&) = delete;

    uint64_t pageNumber() const { return pageNumber_; }
    /// "<work folder>/xl/worksheets/sheet<pageNumber>.xml".
    const std::string& sheetXMLPath() const { return sheetXMLPath_; }
    bool isCollectingRunText() const { return isCollectingRunText_; }
    RunList& allRunTextArray() { return allRunTextArray_; }
    const RunList& allRunTextArray() const { return allRunTextArray_; }
    /// The page's text items in the order of their shared-string indexes.
    const ItemList& stringItems() const { return stringItems_; }
    std::vector<std::shared_ptr<QVExcelRow>>& sheetRows() { return sheet_.sheetRows; }
    std::vector<std::shared_ptr<QVExcelColumn>>& columns() { return sheet_.columns; }
    std::vector<QVMergedCell>& mergeCells() { return sheet_.mergeCells; }
    const QVExcelPageMargin& pageMargin() const { return pageMargin_; }

    /// The table analysis: gives every run its row, column and spans.
    void typesetRunTexts();

    /// Analyses the runs, then lays the page out as a sheet (layOutSheet).
    void creatSheet() override;
    /// Lays the page out from the grid positions the runs carry: items,
    /// cells with values and formats, rows, columns and merged ranges.
    /// Shared-string indexes continue the document's count.
    void layOutSheet();
    /// The page's text items, for the shared-strings part.
    std::vector<std::shared_ptr<const QVExcelSharedStringItem>> sharedStringItems() const override;
    /// Writes the worksheet part. A grid beyond Excel's limits goes on as
    /// further parts "sheet<N>_2.xml", "sheet<N>_3.xml" ...; returns the
    /// paths written, in order (none when the file cannot be created). Only
    /// the first part can be the selected tab.
    using QVExcelSheetPage::writeSheetXML;
    std::vector<std::string> writeSheetXML(const QVExcelPartOpener& open,
                                           bool tabSelected) override;
    /// The number of parts writeSheetXML writes.
    size_t sheetCount() const;

    /// Analyses the runs, then returns the page as tab-separated text (csvText).
    std::optional<std::u16string> creatCSV() override;
    /// One line per row, cells placed by column with tabs; none without items.
    std::optional<std::u16string> csvText();
    /// True when `search` occurs in `text`.
    static bool string(std::u16string_view text, std::u16string_view search);

    /// Grid limits of the worksheet parts (Excel's unless a test shrinks them).
    void setSheetLimits(uint64_t maxRows, uint64_t maxColumns) {
        maxRows_ = maxRows;
        maxColumns_ = maxColumns;
    }

    /// The runs grouped by cell: runs of one row and column form one item,
    /// in run order; items without a non-blank run, and runs that have no
    /// grid position (row or column 0), are left out.
    ItemList getStringItemsFromRuns() const;

private:
    std::shared_ptr<QVExcelCell>
    createCellWithStringItem(const std::shared_ptr<QVExcelStringItem>& item);
    platform::Rect getCellFrame(const QVExcelCell& cell) const;

    uint64_t pageNumber_;
    std::string sheetXMLPath_;
    bool isCollectingRunText_ = true;
    RunList allRunTextArray_;
    ItemList stringItems_;
    QVExcelSheetModel sheet_;
    QVExcelPageMargin pageMargin_;
    uint64_t maxRows_ = QVExcelSheetXML::kMaxRows;
    uint64_t maxColumns_ = QVExcelSheetXML::kMaxColumns;
};
