#pragma once
#include "flow/QVFlowParagraph.h"

/// A paragraph of the HTML output: a new line opens a styled <p>.
class QVHTMLParagraph final : public QVFlowParagraph {
public:
    QVHTMLParagraph() : QVFlowParagraph(QVFlowFamily::HTML) {}
    static ParagraphArray BankParagraph(double space, double spaceLine, double indLeft,
                                        const QVDocx_RPr& rProperty,
                                        const QVDocx_SectPr& sectProperty) {
        return QVFlowParagraph::BankParagraph(QVFlowFamily::HTML, space, spaceLine, indLeft,
                                              rProperty, sectProperty);
    }
    /// Resolves, then opens "<p class="pN">" with the margin from the page's
    /// left text margin, and the font and colour of the last run.
    void writeNewLineWithXMLWriter(QVFlowFileWriter& writer) override;
};
