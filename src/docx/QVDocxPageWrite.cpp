// The page end of QVDocxPage: layout, section ends, anchoring and writing.
#include "docx/QVDocxPage.h"

#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxUtilities.h"

void QVDocxPage::endWritePage(int64_t pageIndex) {
    _creatParagraphs();
    if (paragraphArray_.empty()) {
        // Every page writes at least one paragraph: it keeps the page's own
        // section and anchors the floating objects of a page without text.
        auto blank = std::make_unique<QVDocxParagraph>();
        QVDocx_SectPr s = QVDocxUtilities::defaultSectProperty();
        s.write = 0;
        s.type = 1;
        s.pgSz = sectProperty_.pgSz;
        s.pgMar = sectProperty_.pgMar;
        blank->setSectProperty(std::move(s));
        paragraphArray_.push_back(std::move(blank));
    }
    {
        QVDocx_SectPr s = paragraphArray_.back()->sectProperty();
        s.write = 1;
        paragraphArray_.back()->setSectProperty(std::move(s));
    }
    if (pageIndex != 1) {
        // A section without a break kind starts on a new page.
        for (auto& p : paragraphArray_) {
            if (p->sectProperty().write) {
                QVDocx_SectPr s = p->sectProperty();
                s.type = 0;
                p->setSectProperty(std::move(s));
                break;
            }
        }
    }
    if (isLastPage_) {
        QVDocx_SectPr s = paragraphArray_.back()->sectProperty();
        s.write = 0;
        paragraphArray_.back()->setSectProperty(std::move(s));
    }
    _insertFloatRunPicts();
    if (documentWriter_) {
        _writeParagraphs(*documentWriter_, pageIndex);
        if (isLastPage_)
            _writeLastPageProperty();
    }
}

void QVDocxPage::_writeParagraphs(XMLFileWriter& writer, int64_t pageIndex) {
    // The page's bookmark stands where LibreOffice moves no line for it: at
    // the end of a first paragraph without text (the blank lines above the
    // page's text, an empty page's paragraph), where one before that
    // paragraph set the page's lines 1.5 to 3 pt lower; before a first
    // paragraph with text, where one inside it moved the lines of a page
    // with columns 10 pt and more. Every page has a first paragraph.
    for (size_t k = 0; k < paragraphArray_.size(); ++k) {
        const QVDocxParagraph& p = *paragraphArray_[k];
        const bool blank = !p.lastRunText();
        if (k == 0 && !blank)
            QVDocxParagraph::writePageBookmark(writer, pageIndex);
        p.writeWithXMLWriter(writer, k == 0 && blank ? std::optional(pageIndex) : std::nullopt);
    }
}

void QVDocxPage::_writeLastPageProperty() {
    QVDocx_SectPr s = paragraphArray_.back()->sectProperty();
    s.write = 1;
    QVDocxUtilities::WriteSectProperty(s, *documentWriter_);
}
