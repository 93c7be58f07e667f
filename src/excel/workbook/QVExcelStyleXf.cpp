#include "excel/workbook/QVExcelStyleXf.h"

std::shared_ptr<QVExcelStyleXf> QVExcelStyleXf::initWithNumFmtID(int32_t numFmtID, int32_t fontID,
                                                                 int32_t fillID, int32_t borderID,
                                                                 const QVExcel_Xf_Alignment& algn) {
    QVExcel_Xf xf;
    xf.numFmtId = numFmtID;
    xf.fontId = fontID;
    xf.fillId = fillID;
    xf.borderId = borderID;
    xf.xfId = 0;
    xf.applyNumberFormat = true;
    xf.applyAlignment = true;
    xf.alignment.horizontal = algn.horizontal;
    xf.alignment.vertical = algn.vertical;
    return std::make_shared<QVExcelStyleXf>(xf);
}

QVExcel_Xf QVExcelStyleXf::defaultXf() {
    QVExcel_Xf xf;
    xf.alignment.horizontal = "left";
    xf.alignment.vertical = "center";
    return xf;
}

bool QVExcelStyleXf::isEqualXf(const QVExcelStyleXf& other) const {
    const QVExcel_Xf &a = formatedElm_, &b = other.formatedElm_;
    return a.numFmtId == b.numFmtId && a.fontId == b.fontId && a.fillId == b.fillId &&
           a.borderId == b.borderId && QVExcel_Xf_AlignmentIsEqual(a.alignment, b.alignment) &&
           a.applyNumberFormat == b.applyNumberFormat;
}
