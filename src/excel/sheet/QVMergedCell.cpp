#include "excel/sheet/QVMergedCell.h"

#include "excel/QVExcelUtilities.h"
#include "platform/NumberFormat.h"

namespace {
std::string cellName(const QVPoint& p) {
    auto column = QVExcelUtilities::getColumnName(static_cast<int64_t>(p.c()));
    if (!column || p.r() == 0)
        return {};
    return *column + platform::formatInteger(static_cast<long long>(p.r()));
}
} // namespace

std::string QVMergedCell::mergerCellInfo() const {
    std::string first = cellName(start_);
    std::string last = cellName(end_);
    if (first.empty() || last.empty())
        return {};
    return first + ":" + last;
}

bool QVMergedCell::isEqual(const QVMergedCell& other) const {
    return start_.isEqual(other.start_) && end_.isEqual(other.end_);
}

bool QVMergedCell::isCross(const QVMergedCell& other) const {
    return start_.c() <= other.end_.c() && other.start_.c() <= end_.c() &&
           start_.r() <= other.end_.r() && other.start_.r() <= end_.r();
}

bool QVMergedCell::contains(const QVPoint& cell) const {
    return cell.r() >= start_.r() && cell.r() <= end_.r() && cell.c() >= start_.c() &&
           cell.c() <= end_.c();
}
