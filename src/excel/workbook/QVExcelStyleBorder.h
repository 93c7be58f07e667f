#pragma once
// A registered cell border.

#include "excel/workbook/QVExcelStyleTypes.h"

class QVExcelStyleBorder {
public:
    QVExcelStyleBorder() : border_(defaultBorder()) {}
    /// Every edge without style or colour.
    static QVExcel_PatternBorder defaultBorder() { return {}; }

    const QVExcel_PatternBorder& border() const { return border_; }
    void setBorder(QVExcel_PatternBorder v) { border_ = std::move(v); }

private:
    QVExcel_PatternBorder border_;
};
