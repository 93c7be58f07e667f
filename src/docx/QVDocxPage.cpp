#include "docx/QVDocxPage.h"

#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunPict.h"
#include "docx/QVDocxRunText.h"
#include "docx/QVDocxUtilities.h"

#include <algorithm>

QVDocxPage::QVDocxPage(XMLFileWriter* writer, platform::Size pageSize, bool lastPage)
    : documentWriter_(writer), isLastPage_(lastPage),
      sectProperty_(QVDocxUtilities::defaultSectProperty()) {
    sectProperty_.pgSz.w = static_cast<float>(pageSize.width);
    sectProperty_.pgSz.h = static_cast<float>(pageSize.height);
}

QVDocxPage::~QVDocxPage() = default;

void QVDocxPage::begainWritePage(int64_t /*pageIndex*/) { paragraphArray_.clear(); }

QVDocxParagraph& QVDocxPage::newTextBoxParagraph() {
    auto paragraph = std::make_unique<QVDocxParagraph>();
    if (QVDocxParagraph* last = lastTextBoxParagraph()) {
        last->resolveProperty();
        paragraph->setPProperty(last->pProperty());
        paragraph->setRProperty(last->rProperty());
    }
    cachedTextBoxParagraphs_.push_back(std::move(paragraph));
    return *cachedTextBoxParagraphs_.back();
}

QVDocxParagraph* QVDocxPage::lastTextBoxParagraph() {
    return cachedTextBoxParagraphs_.empty() ? nullptr : cachedTextBoxParagraphs_.back().get();
}

double QVDocxPage::totalTextBoxHeight() const {
    double total = 0;
    for (const auto& p : cachedTextBoxParagraphs_)
        total += p->pProperty().spacing.line;
    return total;
}

double QVDocxPage::maxTextBoxWidth() const {
    float widest = 0;
    for (const auto& p : cachedTextBoxParagraphs_)
        widest = std::max(widest, static_cast<float>(p->pProperty().ind.left + p->textWidth()));
    return widest;
}
