#pragma once
// The process-wide style state of the HTML output: the registered paragraph
// and span classes of the document (numbered from 0 in order of first use)
// and which tags are open in the body. Reset when an HTML document begins;
// only one conversion runs at a time, so it has no lock.
//
// While a span is open, "<b>" is open inside it exactly when its weight is
// not 0 and "<i>" inside that exactly when its style is not 0.

#include "flow/html/QVHTMLCSSParagraph.h"
#include "flow/html/QVHTMLCSSSpan.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class QVFlowFileWriter;

class QVHTMLState {
public:
    static QVHTMLState& sharedInstance();

    /// Nothing open; both registries empty.
    void resetToDefault();

    /// The class number of the style, registering it when new; -1 for none.
    int64_t _indexOfCSSParagraph(const QVHTMLCSSParagraph* style);
    int64_t _indexOfCSSSpan(const QVHTMLCSSSpan* style);

    void _writeCSSSpanEnd(QVFlowFileWriter& writer);
    /// Closes the open span, if any, then the open paragraph, if any.
    void endWriteParagraphTagsIfNeed(QVFlowFileWriter& writer);
    void endWriteSpanTagsIfNeed(QVFlowFileWriter& writer);
    void writeCSSParagraphBegain(const QVHTMLCSSParagraph& style, QVFlowFileWriter& writer);
    void writeCSSParagraphEnd(QVFlowFileWriter& writer);
    /// Opens a span, or keeps the open one and changes only its bold and
    /// italic tags when its class is the same.
    void writeCSSCSSSpanBegain(const QVHTMLCSSSpan& style, QVFlowFileWriter& writer);
    /// One line "    p.pN {...}\n" / "    span.sN {...}\n" per registered class.
    void writeRegistedCSSParagraph(QVFlowFileWriter& writer) const;
    void writeRegistedCSSSpan(QVFlowFileWriter& writer) const;

    bool isParagraphWrited() const { return isParagraphWrited_; }
    bool isSpanWrited() const { return isSpanWrited_; }
    size_t registeredParagraphCount() const { return _registeredCSSParagraph.size(); }
    size_t registeredSpanCount() const { return _registeredCSSSpan.size(); }

private:
    QVHTMLState() { resetToDefault(); }

    std::vector<QVHTMLCSSParagraph> _registeredCSSParagraph;
    std::vector<QVHTMLCSSSpan> _registeredCSSSpan;
    // Class numbers by the compared fields, so that a document of many
    // styles does not search every registered one for every run. Records
    // with a value that is not a number equal nothing and are not indexed.
    std::map<std::string, int64_t> paragraphIndex_;
    std::map<std::string, int64_t> spanIndex_;
    bool isParagraphWrited_ = false;
    QVHTML_CSS_Paragraph cssParagraphUsed_;
    bool isSpanWrited_ = false;
    QVHTML_CSS_Span cssSpanUsed_;
};
