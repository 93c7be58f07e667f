#pragma once
// A registered span style: its record is limited when stored, and its CSS
// text is the rule body of one "span.sN" class.

#include "flow/html/QVHTMLUtilities.h"

#include <string>

class QVHTMLCSSSpan {
public:
    QVHTMLCSSSpan() : cssSpanProperty_(QVHTMLUtilities::defaultCssSpanProperty()) {}

    const QVHTML_CSS_Span& cssSpanProperty() const { return cssSpanProperty_; }
    /// Stores the record with its colour and font limited.
    void setCssSpanProperty(QVHTML_CSS_Span v);
    /// "{ font: 14px 'Name'; [text-decoration: underline;] color: #rrggbb}".
    std::string cssStringFormat() const;
    bool isEqualToEntry(const QVHTMLCSSSpan* other) const;

private:
    QVHTML_CSS_Span cssSpanProperty_;
};
