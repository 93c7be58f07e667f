#include "flow/QVFlowParagraph.h"

#include "docx/QVDocxUtilities.h"
#include "flow/QVFlowFileWriter.h"
#include "flow/QVFlowRunText.h"
#include "flow/html/QVHTMLParagraph.h"
#include "flow/rtf/QVRTFParagraph.h"
#include "flow/text/QVTextParagraph.h"

#include <algorithm>
#include <cmath>

QVFlowParagraph::QVFlowParagraph(QVFlowFamily family)
    : family_(family), pProperty_(QVDocxUtilities::defaultPProperty()),
      rProperty_(QVDocxUtilities::defaultRProperty()),
      sectProperty_(QVDocxUtilities::defaultSectProperty()), textMargin_(sectProperty_.pgMar) {}

std::unique_ptr<QVFlowParagraph> QVFlowParagraph::make(QVFlowFamily family) {
    switch (family) {
    case QVFlowFamily::HTML:
        return std::make_unique<QVHTMLParagraph>();
    case QVFlowFamily::RTF:
        return std::make_unique<QVRTFParagraph>();
    case QVFlowFamily::Text:
        break;
    }
    return std::make_unique<QVTextParagraph>();
}

std::unique_ptr<QVFlowParagraph> QVFlowParagraph::initWithRunArray(QVFlowFamily family,
                                                                   RunArray runs) {
    std::unique_ptr<QVFlowParagraph> p = make(family);
    p->runArray_ = std::move(runs);
    p->resolveProperty();
    return p;
}

QVFlowParagraph::ParagraphArray QVFlowParagraph::BankParagraph(QVFlowFamily family, double space,
                                                               double spaceLine, double indLeft,
                                                               const QVDocx_RPr& rProperty,
                                                               const QVDocx_SectPr& sectProperty) {
    if (rProperty.sz > spaceLine)
        spaceLine = rProperty.sz;
    const float quotient = float(space / spaceLine);
    int32_t n = 1;
    if (std::isfinite(quotient) && quotient < 2147483647.0f)
        n = std::max<int32_t>(1, int32_t(std::floor(quotient)));
    n = std::min<int32_t>(n, 5);
    QVDocx_PPr pPr;
    pPr.spacing.before = 0;
    pPr.spacing.after = 0;
    pPr.spacing.line = float(space / n);
    pPr.spacing.lineRule = "exact";
    pPr.ind.firstLine = 0;
    pPr.ind.left = float(indLeft);
    pPr.jc = "left";
    ParagraphArray out;
    for (int32_t k = 0; k < n; ++k) {
        std::unique_ptr<QVFlowParagraph> p = make(family);
        p->pProperty_ = pPr;
        p->rProperty_ = rProperty;
        p->sectProperty_ = sectProperty;
        out.push_back(std::move(p));
    }
    return out;
}

std::unique_ptr<QVFlowParagraph> QVFlowParagraph::copyWithZone() const {
    std::unique_ptr<QVFlowParagraph> p = make(family_);
    p->pProperty_ = pProperty_;
    p->rProperty_ = rProperty_;
    p->sectProperty_ = sectProperty_;
    p->textMargin_ = textMargin_;
    p->resolvedHeight_ = resolvedHeight_;
    p->breakColumn_ = breakColumn_;
    p->runArray_ = runArray_;
    return p;
}

QVFlowRunText* QVFlowParagraph::runTextAt(const std::shared_ptr<QVFlowRun>& run) const {
    if (!run || run->family() != family_)
        return nullptr;
    return run->asRunText();
}

QVFlowRun* QVFlowParagraph::lastRun() const {
    return runArray_.empty() ? nullptr : runArray_.back().get();
}

QVFlowRunText* QVFlowParagraph::firstRunText() const {
    for (const auto& run : runArray_)
        if (QVFlowRunText* t = runTextAt(run))
            return t;
    return nullptr;
}

QVFlowRunText* QVFlowParagraph::lastRunText() const {
    for (auto it = runArray_.rbegin(); it != runArray_.rend(); ++it)
        if (QVFlowRunText* t = runTextAt(*it))
            return t;
    return nullptr;
}

bool QVFlowParagraph::haveText() const {
    for (const auto& run : runArray_)
        if (const QVFlowRunText* t = runTextAt(run); t && !t->runText().empty())
            return true;
    return false;
}

double QVFlowParagraph::textWidth() const {
    double sum = 0;
    for (const auto& run : runArray_)
        if (const QVFlowRunText* t = runTextAt(run))
            sum += t->textWidth();
    return sum;
}

double QVFlowParagraph::resolveProperty() {
    const QVFlowRunText* first = firstRunText();
    if (first)
        pProperty_.ind.left = float(first->ctmInfo().bottomLeft.x);
    float largest = 0;
    for (const auto& run : runArray_)
        if (const QVFlowRunText* t = runTextAt(run); t && t->rProperty().sz > largest)
            largest = t->rProperty().sz;
    resolvedHeight_ = double(largest - pProperty_.spacing.line);
    if (const QVFlowRunText* last = lastRunText())
        rProperty_ = last->rProperty();
    return resolvedHeight_;
}

bool QVFlowParagraph::resolveColumnProperty() {
    const QVFlowRunText* first = firstRunText();
    if (!first)
        return false;
    pProperty_.ind.left = float(first->ctmInfo().bottomLeft.x - xColumnPosition_);
    return true;
}

void QVFlowParagraph::writeWithXMLWriter(QVFlowFileWriter& writer) const {
    if (runArray_.empty()) {
        writer.writeLinebreak();
        return;
    }
    for (const auto& run : runArray_)
        if (run && run->family() == family_)
            run->writeWithXMLWriter(writer);
}
