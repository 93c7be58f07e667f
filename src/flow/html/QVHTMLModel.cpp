// How the HTML family's paragraph and run write themselves.
#include "flow/QVFlowFileWriter.h"
#include "flow/html/QVHTMLParagraph.h"
#include "flow/html/QVHTMLRunText.h"
#include "flow/html/QVHTMLState.h"

#include <cmath>

namespace {

QVHTML_CSS_Color cssColor(const QVDocx_Color& c) {
    return {int16_t(c.red), int16_t(c.green), int16_t(c.blue), int16_t(c.alpha)};
}

float cssFontSize(float sz) {
    return float(double(sz) * 1.2);
}

} // namespace

void QVHTMLParagraph::writeNewLineWithXMLWriter(QVFlowFileWriter& writer) {
    resolveProperty();
    QVHTML_CSS_Paragraph record = QVHTMLUtilities::defaultCssParagraphProperty();
    float left = pProperty().ind.left - textMargin().left;
    // The distance from the page's text margin; never negative (nor -0 or broken).
    if (!(left > 0) || !std::isfinite(left))
        left = 0;
    record.margin = {0, 0, 0, left};
    record.textIndent = 0;
    record.font = {cssFontSize(rProperty().sz), rProperty().rFonts.ascii,
                   QVHTMLUtilities::cssGenericFamily(rProperty().fontKind)};
    record.color = cssColor(rProperty().color);
    record.keepsSpaces = lineHoldsSpaceRun();
    QVHTMLCSSParagraph style;
    style.setCssPProperty(std::move(record));
    QVHTMLState::sharedInstance().writeCSSParagraphBegain(style, writer);
}

std::shared_ptr<QVFlowRunText> QVHTMLRunText::copyRunText() const {
    auto copy = std::make_shared<QVHTMLRunText>();
    copyTextInto(*copy);
    return copy;
}

void QVHTMLRunText::writeWithXMLWriter(QVFlowFileWriter& writer) const {
    const QVDocx_RPr& r = rProperty();
    QVHTML_CSS_Span record = QVHTMLUtilities::defaultCssSpanProperty();
    record.font = {cssFontSize(r.sz), r.rFonts.ascii,
                   QVHTMLUtilities::cssGenericFamily(r.fontKind)};
    record.fontWeight = r.b != 0 ? 1 : 0;
    record.fontStyle = r.i != 0 ? 1 : 0;
    record.textDecoration = r.u != 0 ? 1 : 0;
    record.color = cssColor(r.color);
    QVHTMLCSSSpan style;
    style.setCssSpanProperty(std::move(record));
    QVHTMLState::sharedInstance().writeCSSCSSSpanBegain(style, writer);
    writer.writeContent(runText());
}
