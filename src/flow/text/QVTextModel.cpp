#include "flow/QVFlowFileWriter.h"
#include "flow/text/QVTextRunText.h"

std::shared_ptr<QVFlowRunText> QVTextRunText::copyRunText() const {
    auto copy = std::make_shared<QVTextRunText>();
    copyTextInto(*copy);
    return copy;
}

void QVTextRunText::writeWithXMLWriter(QVFlowFileWriter& writer) const {
    writer.writeContent(runText());
}
