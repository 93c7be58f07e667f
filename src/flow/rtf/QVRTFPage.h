#pragma once
#include "flow/QVFlowPage.h"

class QVRTFPage final : public QVFlowPage {
public:
    QVRTFPage(QVFlowFileWriter* writer, platform::Size pageSize, bool lastPage)
        : QVFlowPage(QVFlowFamily::RTF, writer, pageSize, lastPage) {}
    void _writeParagraphs(QVFlowFileWriter& writer) override;
};
