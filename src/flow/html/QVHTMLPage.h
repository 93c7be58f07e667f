#pragma once
#include "flow/QVFlowPage.h"

class QVHTMLPage final : public QVFlowPage {
public:
    QVHTMLPage(QVFlowFileWriter* writer, platform::Size pageSize, bool lastPage)
        : QVFlowPage(QVFlowFamily::HTML, writer, pageSize, lastPage) {}
    void _writeParagraphs(QVFlowFileWriter& writer) override;
};
