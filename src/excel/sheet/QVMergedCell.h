#pragma once
// A merged range of cells: its top-left and bottom-right cell, both inclusive.

#include "excel/sheet/QVPoint.h"

#include <string>

class QVMergedCell {
public:
    QVMergedCell() = default;
    QVMergedCell(const QVPoint& start, const QVPoint& end) : start_(start), end_(end) {}
    static QVMergedCell initWithStart(const QVPoint& start, const QVPoint& end) {
        return QVMergedCell(start, end);
    }

    const QVPoint& start() const { return start_; }
    QVPoint& start() { return start_; }
    void setStart(const QVPoint& v) { start_ = v; }
    const QVPoint& end() const { return end_; }
    QVPoint& end() { return end_; }
    void setEnd(const QVPoint& v) { end_ = v; }

    /// The range reference, such as "A2:B3"; empty when a corner has no cell name (column 0).
    std::string mergerCellInfo() const;
    bool isEqual(const QVMergedCell& other) const;
    bool operator==(const QVMergedCell& other) const { return isEqual(other); }
    /// True when the two ranges share at least one cell.
    bool isCross(const QVMergedCell& other) const;
    /// True when the range holds the cell.
    bool contains(const QVPoint& cell) const;

private:
    QVPoint start_;
    QVPoint end_;
};
