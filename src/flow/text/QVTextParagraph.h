#pragma once
#include "flow/QVFlowParagraph.h"

/// A paragraph of the plain-text output; the page writer separates them.
class QVTextParagraph final : public QVFlowParagraph {
public:
    QVTextParagraph() : QVFlowParagraph(QVFlowFamily::Text) {}
    static ParagraphArray BankParagraph(double space, double spaceLine, double indLeft,
                                        const QVDocx_RPr& rProperty,
                                        const QVDocx_SectPr& sectProperty) {
        return QVFlowParagraph::BankParagraph(QVFlowFamily::Text, space, spaceLine, indLeft,
                                              rProperty, sectProperty);
    }
};
