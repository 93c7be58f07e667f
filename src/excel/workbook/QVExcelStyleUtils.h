#pragma once
// Finds a cell format in a list of cell formats or appends it.

#include "excel/workbook/QVExcelStyleXf.h"

#include <cstdint>
#include <memory>
#include <vector>

class QVExcelStyleUtils {
public:
    QVExcelStyleUtils() = delete;

    using XfList = std::vector<std::shared_ptr<QVExcelStyleXf>>;

    /// The index of the first equal format of the list (QVExcelStyleXf::isEqualXf),
    /// or of a new one appended to it.
    static int32_t getStyleIndexFrom(XfList& list, int32_t numFmtID, int32_t fontID, int32_t fillID,
                                     int32_t borderID, const QVExcel_Xf_Alignment& alignment);
    /// Fill 0 and border 0.
    static int32_t getStyleIndexFrom(XfList& list, int32_t numFmtID, int32_t fontID,
                                     const QVExcel_Xf_Alignment& alignment);
    /// Number format 0, fill 0 and border 0.
    static int32_t getStyleIndexFrom(XfList& list, int32_t fontID,
                                     const QVExcel_Xf_Alignment& alignment);
    static int32_t getStyleIndex() { return 0; }
};
