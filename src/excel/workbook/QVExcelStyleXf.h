#pragma once
// A registered cell format (or cell style format): number format, font, fill
// and border it refers to, its flags and its alignment.

#include "excel/workbook/QVExcelStyleTypes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QVExcelStyleXf {
public:
    QVExcelStyleXf() : formatedElm_(defaultXf()) {}
    explicit QVExcelStyleXf(QVExcel_Xf xf) : formatedElm_(std::move(xf)) {}
    /// The format with those four references, xfId 0, applyNumberFormat and
    /// applyAlignment on, and the alignment's horizontal and vertical texts.
    static std::shared_ptr<QVExcelStyleXf> initWithNumFmtID(int32_t numFmtID, int32_t fontID,
                                                            int32_t fillID, int32_t borderID,
                                                            const QVExcel_Xf_Alignment& algn);

    /// Every identifier 0, every flag off, "left" and "center".
    static QVExcel_Xf defaultXf();

    const QVExcel_Xf& formatedElm() const { return formatedElm_; }
    QVExcel_Xf& formatedElm() { return formatedElm_; }
    void setFormatedElm(QVExcel_Xf v) { formatedElm_ = std::move(v); }
    const std::optional<std::string>& algnHorizontal() const {
        return formatedElm_.alignment.horizontal;
    }
    const std::optional<std::string>& algnVertical() const {
        return formatedElm_.alignment.vertical;
    }

    /// Same number format, font, fill and border, equal alignments and the
    /// same applyNumberFormat. The receiver is the registered entry.
    bool isEqualXf(const QVExcelStyleXf& other) const;

private:
    QVExcel_Xf formatedElm_;
};
