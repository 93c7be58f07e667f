#pragma once
#include "flow/QVFlowRunText.h"

/// A run of the HTML output: opens or continues its span class, then its escaped text.
class QVHTMLRunText final : public QVFlowRunText {
public:
    QVHTMLRunText() : QVFlowRunText(QVFlowFamily::HTML) {}
    std::shared_ptr<QVFlowRunText> copyRunText() const override;
    void writeWithXMLWriter(QVFlowFileWriter& writer) const override;

private:
    const char* className() const override { return "QVHTMLRunText"; }
};
