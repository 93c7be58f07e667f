#pragma once
// A paragraph of slide text: its runs and paragraph properties.

#include "pptx/QVPPTXProperties.h"
#include "pptx/QVPPTXRun.h"

#include <memory>
#include <vector>

class XMLFileWriter;

class QVPPTXParagraph {
public:
    QVPPTXParagraph();

    std::vector<std::shared_ptr<QVPPTXRun>>& textRuns() { return textRuns_; }
    const std::vector<std::shared_ptr<QVPPTXRun>>& textRuns() const { return textRuns_; }
    const QVPPTX_PPr& pProperty() const { return pProperty_; }
    QVPPTX_PPr& pProperty() { return pProperty_; }
    void setPProperty(const QVPPTX_PPr& v) { pProperty_ = v; }

    /// The last run, or none.
    QVPPTXRun* lastRunText() const;
    /// The sum of the runs' widths.
    double textWidth() const;
    /// a:p with its a:pPr and runs; nothing for a paragraph without runs.
    void writeParagraphWithXMLWriter(XMLFileWriter& writer) const;

private:
    std::vector<std::shared_ptr<QVPPTXRun>> textRuns_;
    QVPPTX_PPr pProperty_;
};
