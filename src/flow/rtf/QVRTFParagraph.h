#pragma once
#include "flow/QVFlowParagraph.h"

/// A paragraph of the RTF output: a new line is "\par\pard\liN ".
class QVRTFParagraph final : public QVFlowParagraph {
public:
    QVRTFParagraph() : QVFlowParagraph(QVFlowFamily::RTF) {}
    static ParagraphArray BankParagraph(double space, double spaceLine, double indLeft,
                                        const QVDocx_RPr& rProperty,
                                        const QVDocx_SectPr& sectProperty) {
        return QVFlowParagraph::BankParagraph(QVFlowFamily::RTF, space, spaceLine, indLeft,
                                              rProperty, sectProperty);
    }
    /// The indent is measured from the page's left text margin in twips, at least 0.
    void writeNewLineWithXMLWriter(QVFlowFileWriter& writer) override;
};
