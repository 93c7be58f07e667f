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
        _writeParagraphs(*documentWriter_);
        if (isLastPage_)
            _writeLastPageProperty();
    }
}

void QVDocxPage::_writeParagraphs(XMLFileWriter& writer) {
    for (const auto& p : paragraphArray_)
        p->writeWithXMLWriter(writer);
}

void QVDocxPage::_writeLastPageProperty() {
    QVDocx_SectPr s = paragraphArray_.back()->sectProperty();
    s.write = 1;
    QVDocxUtilities::WriteSectProperty(s, *documentWriter_);
}
