#include "excel/workbook/QVExcelStyleUtils.h"

int32_t QVExcelStyleUtils::getStyleIndexFrom(XfList& list, int32_t numFmtID, int32_t fontID,
                                             int32_t fillID, int32_t borderID,
                                             const QVExcel_Xf_Alignment& alignment) {
    auto candidate =
        QVExcelStyleXf::initWithNumFmtID(numFmtID, fontID, fillID, borderID, alignment);
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] && list[i]->isEqualXf(*candidate))
            return static_cast<int32_t>(i);
    list.push_back(candidate);
    return static_cast<int32_t>(list.size() - 1);
}

int32_t QVExcelStyleUtils::getStyleIndexFrom(XfList& list, int32_t numFmtID, int32_t fontID,
                                             const QVExcel_Xf_Alignment& alignment) {
    return getStyleIndexFrom(list, numFmtID, fontID, 0, 0, alignment);
}

int32_t QVExcelStyleUtils::getStyleIndexFrom(XfList& list, int32_t fontID,
                                             const QVExcel_Xf_Alignment& alignment) {
    return getStyleIndexFrom(list, 0, fontID, 0, 0, alignment);
}
