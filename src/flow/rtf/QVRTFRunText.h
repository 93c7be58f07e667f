#pragma once
#include "flow/QVFlowRunText.h"

/// A run of the RTF output: the character words that changed, then its escaped text.
class QVRTFRunText final : public QVFlowRunText {
public:
    QVRTFRunText() : QVFlowRunText(QVFlowFamily::RTF) {}
    std::shared_ptr<QVFlowRunText> copyRunText() const override;
    void writeWithXMLWriter(QVFlowFileWriter& writer) const override;

private:
    const char* className() const override { return "QVRTFRunText"; }
};
