#pragma once
// The HTML document writer: the pages' markup streams into "content.html" in
// the work folder; at the end the output gets the head with the generated
// style sheet (known only then), the body and the closing tags.

#include "flow/QVFlowPDFConverter.h"
#include "flow/html/QVHTMLFileWriter.h"

class QVHTMLPDFConverter final : public QVFlowPDFConverter {
public:
    QVHTMLPDFConverter(const std::string& path, int64_t numOfPages)
        : QVFlowPDFConverter(QVFlowFamily::HTML, path, numOfPages, true) {}
    /// Creates the body file and the temporary output, resets the drawing
    /// counters and the HTML style state.
    void begainWriteDocument() override;
    void packetDocxFile() override;

private:
    QVFlowFileWriter* pageWriter() override { return contentWriter_.get(); }

    std::unique_ptr<QVHTMLFileWriter> documentWriter_;
    std::unique_ptr<QVHTMLFileWriter> contentWriter_;
};
