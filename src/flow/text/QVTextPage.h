#pragma once
#include "flow/QVFlowPage.h"

class QVTextPage final : public QVFlowPage {
public:
    QVTextPage(QVFlowFileWriter* writer, platform::Size pageSize, bool lastPage)
        : QVFlowPage(QVFlowFamily::Text, writer, pageSize, lastPage) {}
    void _writeParagraphs(QVFlowFileWriter& writer) override;
};
