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

    /// A copy that shares nothing with this one: what a conversion runs with
    /// stays fixed while the settings it came from change.
    QVPDFOptions copy() const {
        QVPDFOptions c;
        c.excelOptions_ = std::make_shared<QVExcelOptions>(*excelOptions_);
        return c;
    }

private:
    std::shared_ptr<QVExcelOptions> excelOptions_;
};
