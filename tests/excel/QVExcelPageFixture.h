#pragma once
// Hand-built page grids for the worksheet tests: runs that already carry their
// row, column and spans, with a box consistent with that grid (columns 100
// points apart, rows 20 points apart), and a per-document spreadsheet state
// set up with given options and ended after the test.

#include "converter/QVExcelOptions.h"
#include "excel/QVExcelManager.h"
#include "excel/analysis/QVExcelRunText.h"
#include "excel/sheet/QVExcelPage.h"
#include "excel/workbook/QVExcelStyle.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace excelfixtures {

struct RunSpec {
    std::u16string text;
    uint64_t row = 1;
    uint64_t column = 1;
    uint64_t rowLength = 0;
    uint64_t columnLength = 0;
    double size = 12.0;
    uint32_t color = 0x000000;
    bool bold = false;
    std::string font = "Helvetica";
    // Box; by default from the grid position and spans.
    std::optional<double> x = std::nullopt, y = std::nullopt, width = std::nullopt,
                          height = std::nullopt;
};

inline std::shared_ptr<QVExcelRunText> makeRun(const RunSpec& s) {
    auto run = std::make_shared<QVExcelRunText>();
    run->setText(s.text);
    run->setRowIndex(s.row);
    run->setColumnIndex(s.column);
    run->setRowLength(s.rowLength);
    run->setColumnLength(s.columnLength);
    const double x = s.x.value_or(100.0 * double(s.column - 1) + 10.0);
    const double y = s.y.value_or(20.0 * double(s.row - 1) + 10.0);
    const double width = s.width.value_or(40.0 + 100.0 * double(s.columnLength));
    const double height = s.height.value_or(12.0 + 20.0 * double(s.rowLength));
    QVPDF_CTMInfo info;
    info.xLeft = x;
    info.xRight = x + width;
    info.yTop = y;
    info.yBottom = y + height;
    info.yDescent = info.yBottom;
    info.yBase = y + height * 0.8;
    run->setCtmInfo(info);
    run->setTextWidth(width);
    QVExcelRunTextProperty rPr;
    rPr.setSz(s.size);
    rPr.setRgbColor(s.color);
    rPr.setB(s.bold);
    rPr.setRFont(s.font);
    rPr.setFamily(s.font);
    run->setRPr(rPr);
    return run;
}

inline void addRuns(QVExcelPage& page, const std::vector<RunSpec>& specs) {
    for (const auto& s : specs)
        page.allRunTextArray().push_back(makeRun(s));
}

/// The per-document state of one conversion with the given options, as the
/// driver and the exporter's begin set it up; ended when the scope ends.
class ManagerScope {
public:
    explicit ManagerScope(uint64_t formatOption = 0, uint64_t thousandSeparator = 0,
                          bool allInOne = false, bool addToRow = false, bool fills = false) {
        QVExcelManager::destory();
        options_ = std::make_shared<QVExcelOptions>();
        options_->setExcelFormatOption(formatOption);
        options_->setThousandSepartor(thousandSeparator);
        options_->setAllInOneSheet(allInOne);
        options_->setAiosAddToRow(addToRow);
        options_->setCollectCGPaths(fills);
        options_->setCollectFills(fills);
        QVExcelManager::sharedInstance()->setOptions(options_);
        QVExcelManager::reset();
    }
    ~ManagerScope() { QVExcelManager::destory(); }
    ManagerScope(const ManagerScope&) = delete;
    ManagerScope& operator=(const ManagerScope&) = delete;

    QVExcelManager& manager() const { return *QVExcelManager::sharedInstance(); }
    QVExcelStyle& style() const { return *QVExcelManager::sharedInstance()->excelStyle(); }

private:
    std::shared_ptr<QVExcelOptions> options_;
};

/// A work folder named like the package it becomes ("<name>.xlsx"), fresh.
inline std::string makeWorkFolder(const std::string& name) {
    std::string folder = fixtures::makeTestFolder(name) + "/" + name + ".xlsx";
    platform::createDirectories(folder);
    return folder;
}

/// Cell name of a cell of the laid-out page ("B3").
inline std::string cellName(const QVExcelCell& cell) {
    std::string letters;
    for (uint64_t n = cell.columnIndex(); n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters + std::to_string(cell.rowIndex());
}

} // namespace excelfixtures
