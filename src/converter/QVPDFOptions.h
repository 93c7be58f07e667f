#pragma once
#include "converter/QVExcelOptions.h"

#include <memory>

/// The per-file conversion options handed from the source list to the driver.
class QVPDFOptions {
public:
    QVPDFOptions() : excelOptions_(std::make_shared<QVExcelOptions>()) {}
    const std::shared_ptr<QVExcelOptions>& excelOptions() const { return excelOptions_; }
    void setExcelOptions(std::shared_ptr<QVExcelOptions> v) {
        excelOptions_ = v ? std::move(v) : std::make_shared<QVExcelOptions>();
    }

private:
    std::shared_ptr<QVExcelOptions> excelOptions_;
};
