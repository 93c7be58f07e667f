#include "flow/QVFlowPage.h"

#include "docx/QVDocxUtilities.h"
#include "flow/html/QVHTMLPage.h"
#include "flow/rtf/QVRTFPage.h"
#include "flow/text/QVTextPage.h"

#include <algorithm>

QVFlowPage::QVFlowPage(QVFlowFamily family, QVFlowFileWriter* writer, platform::Size pageSize,
                       bool lastPage)
    : family_(family), documentWriter_(writer), isLastPage_(lastPage),
      sectProperty_(QVDocxUtilities::defaultSectProperty()) {
    sectProperty_.write = 1;
    sectProperty_.pgSz = {float(pageSize.width), float(pageSize.height)};
    sectProperty_.type = lastPage ? 0 : 1;
    sectProperty_.cols.num = 0;
    sectProperty_.cols.sep = 0;
    sectProperty_.cols.space = 36.0f;
    sectProperty_.cols.equalWidth = 0;
    sectProperty_.docGrid.type = "linesAndChars";
    sectProperty_.docGrid.linePitch = 18.0f;
    textMargin_ = sectProperty_.pgMar;
}

std::unique_ptr<QVFlowPage> QVFlowPage::initWithXMLWriter(QVFlowFamily family,
                                                          QVFlowFileWriter* writer,
                                                          platform::Size pageSize, bool lastPage) {
    switch (family) {
    case QVFlowFamily::HTML:
        return std::make_unique<QVHTMLPage>(writer, pageSize, lastPage);
    case QVFlowFamily::RTF:
        return std::make_unique<QVRTFPage>(writer, pageSize, lastPage);
    case QVFlowFamily::Text:
        break;
    }
    return std::make_unique<QVTextPage>(writer, pageSize, lastPage);
}

double QVFlowPage::paragraphsHeight() const {
    double sum = 0;
    for (const auto& p : paragraphArray_)
        sum += p->pProperty().spacing.line;
    return sum;
}

bool QVFlowPage::isFullParagraph(double height) const {
    return sectProperty_.pgMar.top + paragraphsHeight() + height + sectProperty_.pgMar.bottom >=
           sectProperty_.pgSz.h;
}

QVFlowParagraph* QVFlowPage::lastParagraph() const {
    return paragraphArray_.empty() ? nullptr : paragraphArray_.back().get();
}

void QVFlowPage::newParagraph(double lineHeight, double indLeft, const QVDocx_RPr& rProperty) {
    if (QVFlowParagraph* last = lastParagraph())
        last->resolveProperty();
    std::unique_ptr<QVFlowParagraph> p = QVFlowParagraph::make(family_);
    QVDocx_PPr pPr = p->pProperty();
    pPr.spacing.before = 0;
    pPr.spacing.after = 0;
    pPr.spacing.line = float(lineHeight);
    pPr.spacing.lineRule = "exact";
    pPr.ind.firstLine = 0;
    pPr.ind.left = float(indLeft);
    pPr.jc = "left";
    p->setPProperty(std::move(pPr));
    p->setRProperty(rProperty);
    paragraphArray_.push_back(std::move(p));
}

double QVFlowPage::totalTextBoxHeight() const {
    double sum = 0;
    for (const auto& p : cachedTextBoxParagraphs_)
        sum += p->pProperty().spacing.line;
    return sum;
}

double QVFlowPage::maxTextBoxWidth() const {
    float widest = 0;
    for (const auto& p : cachedTextBoxParagraphs_) {
        const float w = float(p->pProperty().ind.left + p->textWidth());
        widest = w > widest ? w : widest;
    }
    return widest;
}

void QVFlowPage::newTextBoxParagraph() {
    std::unique_ptr<QVFlowParagraph> p = QVFlowParagraph::make(family_);
    if (QVFlowParagraph* last = lastTextBoxParagraph()) {
        last->resolveProperty();
        p->setPProperty(last->pProperty());
        p->setRProperty(last->rProperty());
    }
    cachedTextBoxParagraphs_.push_back(std::move(p));
}

QVFlowParagraph* QVFlowPage::lastTextBoxParagraph() const {
    return cachedTextBoxParagraphs_.empty() ? nullptr : cachedTextBoxParagraphs_.back().get();
}

void QVFlowPage::_creatParagraphs() {
    _buildParagraphs(_groupDivs());
}

void QVFlowPage::begainWritePage(int64_t /*pageIndex*/) {
    paragraphArray_.clear();
}

void QVFlowPage::endWritePage(int64_t /*pageIndex*/) {
    _creatParagraphs();
    if (documentWriter_)
        _writeParagraphs(*documentWriter_);
}
