#pragma once
// The plain-text document writer: pages write straight into the (temporary)
// output file, which packetDocxFile moves under its name. It needs no work
// folder.

#include "flow/QVFlowPDFConverter.h"
#include "flow/text/QVTextFileWriter.h"

class QVTextPDFConverter final : public QVFlowPDFConverter {
public:
    QVTextPDFConverter(const std::string& path, int64_t numOfPages)
        : QVFlowPDFConverter(QVFlowFamily::Text, path, numOfPages, false) {}
    void begainWriteDocument() override;
    void packetDocxFile() override;

private:
    QVFlowFileWriter* pageWriter() override { return documentWriter_.get(); }

    std::unique_ptr<QVTextFileWriter> documentWriter_;
};
