#include "excel/analysis/QVExcelStringItemInfo.h"

#include <cmath>

platform::Rect QVExcelStringItemInfo::textBoxRect() const {
    return platform::Rect{{std::round(displayX_), std::round(displayY_)},
                          {displayWidth_, displayHeight_}};
}
