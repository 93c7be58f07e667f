#pragma once
// The worksheet part, shared by the per-page sheets and the all-in-one sheet:
// the model (rows, columns, merged ranges), its order, its split at Excel's
// grid limits, and its XML.

#include "excel/workbook/QVExcelPartOpener.h"
#include "excel/sheet/QVExcelColumn.h"
#include "excel/sheet/QVExcelRow.h"
#include "excel/sheet/QVMergedCell.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct QVExcelSheetModel {
    std::vector<std::shared_ptr<QVExcelRow>> sheetRows;
    std::vector<std::shared_ptr<QVExcelColumn>> columns;
    std::vector<QVMergedCell> mergeCells;
};

class QVExcelSheetXML {
public:
    QVExcelSheetXML() = delete;

    // Excel's grid.
    static constexpr uint64_t kMaxRows = 1048576;
    static constexpr uint64_t kMaxColumns = 16384;

    /// Rows and columns in ascending order of number, each row's cells in
    /// ascending order of column (stable, so equal numbers keep their order).
    static void sortModel(QVExcelSheetModel& model);

    /// The number of sheets `splitToLimits` makes of the model.
    static size_t sheetCount(const QVExcelSheetModel& model, uint64_t maxRows = kMaxRows,
                             uint64_t maxColumns = kMaxColumns);
    /// A model within the limits comes back as it is. A larger one is cut
    /// into blocks of maxRows × maxColumns; every block that holds something
    /// becomes a sheet of its own, renumbered from 1 (the cells' items are
    /// renumbered in place), in order of row block, then column block. A
    /// merged range goes with its top-left cell and is cut at its block's edge.
    static std::vector<QVExcelSheetModel> splitToLimits(QVExcelSheetModel model,
                                                        uint64_t maxRows = kMaxRows,
                                                        uint64_t maxColumns = kMaxColumns);

    /// Writes one worksheet part through `open`; false when the part cannot be
    /// started. Writer failures raise XMLWriterException.
    static bool writeWorksheet(const QVExcelPartOpener& open, const std::string& path,
                               const QVExcelSheetModel& model, bool tabSelected,
                               bool defaultRowHeight);
};
