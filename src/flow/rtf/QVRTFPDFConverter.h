#pragma once
// The RTF document writer: the pages' body streams into "content.rtf" in the
// work folder; at the end the output gets the header, the font and colour
// tables the runs filled, the information group and the body.

#include "flow/QVFlowPDFConverter.h"
#include "flow/rtf/QVRTFFileWriter.h"

class QVRTFPDFConverter final : public QVFlowPDFConverter {
public:
    QVRTFPDFConverter(const std::string& path, int64_t numOfPages)
        : QVFlowPDFConverter(QVFlowFamily::RTF, path, numOfPages, true) {}
    /// Creates the body file and the temporary output, resets the drawing
    /// counters and the RTF character state.
    void begainWriteDocument() override;
    void packetDocxFile() override;

private:
    QVFlowFileWriter* pageWriter() override { return contentWriter_.get(); }

    std::unique_ptr<QVRTFFileWriter> documentWriter_;
    std::unique_ptr<QVRTFFileWriter> contentWriter_;
};
