#pragma once
#include "flow/QVFlowRunText.h"

/// A run of the plain-text output: its text as it is.
class QVTextRunText final : public QVFlowRunText {
public:
    QVTextRunText() : QVFlowRunText(QVFlowFamily::Text) {}
    std::shared_ptr<QVFlowRunText> copyRunText() const override;
    void writeWithXMLWriter(QVFlowFileWriter& writer) const override;

private:
    const char* className() const override { return "QVTextRunText"; }
};
