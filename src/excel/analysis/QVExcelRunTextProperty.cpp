#include "excel/analysis/QVExcelRunTextProperty.h"

bool QVExcelRunTextProperty::isEqualToRPr(const QVExcelRunTextProperty& other) const {
    return sz_ == other.sz_ && rgbColor_ == other.rgbColor_ && family_ == other.family_;
}

bool QVExcelRunTextProperty::isSameToRPr(const QVExcelRunTextProperty& other) const {
    return sz_ == other.sz_ && rgbColor_ == other.rgbColor_;
}
