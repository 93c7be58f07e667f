#pragma once
// A registered paragraph style: the rule body of one "p.pN" class.

#include "flow/html/QVHTMLUtilities.h"

#include <string>

class QVHTMLCSSParagraph {
public:
    QVHTMLCSSParagraph() : cssPProperty_(QVHTMLUtilities::defaultCssParagraphProperty()) {}

    const QVHTML_CSS_Paragraph& cssPProperty() const { return cssPProperty_; }
    /// Stores the record with its colour and font limited.
    void setCssPProperty(QVHTML_CSS_Paragraph v);
    /// "{margin: T R B Lpx;[ text-indent: Npx;] font: 14px 'Name'; color: #rrggbb}".
    std::string cssStringFormat() const;
    bool isEqualToEntry(const QVHTMLCSSParagraph* other) const;

private:
    QVHTML_CSS_Paragraph cssPProperty_;
};
