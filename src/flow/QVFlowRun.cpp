#include "flow/QVFlowRun.h"

#include "docx/QVDocxUtilities.h"

QVFlowRun::QVFlowRun(QVFlowFamily family)
    : family_(family), rProperty_(QVDocxUtilities::defaultRProperty()) {}

void QVFlowRun::copyBaseInto(QVFlowRun& other) const {
    other.rProperty_ = rProperty_;
    other.ctmInfo_ = ctmInfo_;
    other.drawIndex_ = drawIndex_;
}

std::shared_ptr<QVFlowRun> QVFlowRun::copyWithZone() const {
    std::shared_ptr<QVFlowRun> copy;
    switch (family_) {
    case QVFlowFamily::HTML:
        copy = std::make_shared<QVHTMLRun>();
        break;
    case QVFlowFamily::RTF:
        copy = std::make_shared<QVRTFRun>();
        break;
    case QVFlowFamily::Text:
        copy = std::make_shared<QVTextRun>();
        break;
    }
    copyBaseInto(*copy);
    return copy;
}
