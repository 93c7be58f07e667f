#include "docx/QVDocxParagraph.h"

#include "docx/QVDocxRunText.h"
#include "docx/QVDocxUtilities.h"
#include "platform/NumberFormat.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Blank lines thinner than this are not counted: a degenerate line height
// would ask for many thousands of empty paragraphs to fill one gap; the gap
// becomes one paragraph instead, as for a line height of 0.
constexpr double kMinimumBlankLine = 1.0;

} // namespace

QVDocxParagraph::QVDocxParagraph()
    : pProperty_(QVDocxUtilities::defaultPProperty()),
      rProperty_(QVDocxUtilities::defaultRProperty()),
      sectProperty_(QVDocxUtilities::defaultSectProperty()) {}

QVDocxParagraph::QVDocxParagraph(RunArray runs) : QVDocxParagraph() {
    runArray_ = std::move(runs);
    resolveProperty();
}

std::vector<std::unique_ptr<QVDocxParagraph>>
QVDocxParagraph::BankParagraph(double space, double spaceLine, double indLeft,
                               const QVDocx_RPr& rProperty, const QVDocx_SectPr& sectProperty) {
    std::vector<std::unique_ptr<QVDocxParagraph>> blanks;
    if (!(space > 0) || !std::isfinite(space))
        return blanks;
    double line = spaceLine;
    if (rProperty.sz > line)
        line = rProperty.sz;
    const float quotient = std::floor(static_cast<float>(space / line));
    int32_t n = 1;
    if (line >= kMinimumBlankLine && std::isfinite(quotient) && quotient >= 1 &&
        quotient <= static_cast<float>(std::numeric_limits<int32_t>::max() / 2))
        n = static_cast<int32_t>(quotient);

    QVDocx_PPr p;
    p.spacing.line = static_cast<float>(space / n);
    p.spacing.lineRule = "exact";
    p.ind.left = static_cast<float>(indLeft);
    p.jc = "left";
    for (int32_t k = 0; k < n; ++k) {
        auto blank = std::make_unique<QVDocxParagraph>();
        blank->setPProperty(p);
        blank->setRProperty(rProperty);
        blank->setSectProperty(sectProperty);
        blanks.push_back(std::move(blank));
    }
    return blanks;
}

QVDocxRunText* QVDocxParagraph::lastRunText() const {
    for (auto it = runArray_.rbegin(); it != runArray_.rend(); ++it)
        if (QVDocxRunText* text = (*it)->asRunText())
            return text;
    return nullptr;
}

const QVDocxRunText* QVDocxParagraph::firstRunText() const {
    for (const auto& run : runArray_)
        if (const QVDocxRunText* text = run->asRunText())
            return text;
    return nullptr;
}

double QVDocxParagraph::textWidth() const {
    double width = 0;
    for (const auto& run : runArray_)
        if (const QVDocxRunText* text = run->asRunText())
            width += text->textWidth();
    return width;
}

void QVDocxParagraph::resolveProperty() {
    QVDocx_PPr p = pProperty_;
    if (const QVDocxRunText* first = firstRunText())
        p.ind.left = static_cast<float>(first->ctmInfo().bottomLeft.x);
    if (!runArray_.empty()) {
        float height = 0;
        double top = 0, bottom = 0;
        for (const auto& run : runArray_) {
            const QVDocxRunText* text = run->asRunText();
            if (!text)
                continue;
            const float size = text->rProperty().sz;
            const QVPDF_CTMInfo& info = text->ctmInfo();
            if (height > 0) {
                height = std::max(height, size);
                if (static_cast<float>(info.yAscent) < static_cast<float>(top))
                    top = info.yAscent;
                if (static_cast<float>(info.yDescent) > static_cast<float>(bottom))
                    bottom = info.yDescent;
            } else {
                height = size;
                top = info.yAscent;
                bottom = info.yDescent;
            }
        }
        height = std::max(height, static_cast<float>(bottom - top));
        p.spacing.line = height;
    }
    pProperty_ = std::move(p);
    if (const QVDocxRunText* last = lastRunText())
        rProperty_ = last->rProperty();
}

bool QVDocxParagraph::resolveColumnProperty() {
    const QVDocxRunText* first = firstRunText();
    if (!first)
        return false;
    pProperty_.ind.left = static_cast<float>(first->ctmInfo().bottomLeft.x - xColumnPosition_);
    return true;
}

void QVDocxParagraph::addTabStop(double pos) {
    const float at = static_cast<float>(std::max(pos, 0.0));
    auto it = std::lower_bound(tabs_.tab.begin(), tabs_.tab.end(), at,
                               [](const QVDocx_Tab& t, float x) { return t.pos < x; });
    if (it != tabs_.tab.end() && it->pos == at)
        return;
    tabs_.tab.insert(it, QVDocx_Tab{"left", at});
    tabs_.num = static_cast<int32_t>(tabs_.tab.size());
}

void QVDocxParagraph::setRPropertyScrpit(int32_t scrpit, double fontSize) {
    for (const auto& run : runArray_) {
        QVDocxRunText* text = run->asRunText();
        if (!text)
            continue;
        QVDocx_RPr r = text->rProperty();
        r.sz = static_cast<float>(fontSize);
        r.szCs = static_cast<float>(fontSize);
        r.scrpit = scrpit;
        text->setRProperty(std::move(r));
    }
}

void QVDocxParagraph::writeWithXMLWriter(XMLFileWriter& w,
                                         std::optional<int64_t> pageBookmark) const {
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    w.writeStartElementWithNamespace(ns, "p");
    QVDocxUtilities::WritePProperty(pProperty_, rProperty_, sectProperty_, tabs_, w);
    if (breakColumn_) {
        w.writeStartElementWithNamespace(ns, "r");
        w.writeEmptyElementWithNamespace(ns, "rPr");
        w.writeStartElementWithNamespace(ns, "br");
        w.writeAttributeWithNamespace(ns, "type", "column");
        w.writeEndElement();
        w.writeEmptyElementWithNamespace(ns, "t");
        w.writeEndElement();
    }
    if (runArray_.empty()) {
        // A paragraph without runs still stands for a line of its height. The
        // space is marked to be kept: readers drop a w:t of bare whitespace.
        w.writeStartElementWithNamespace(ns, "r");
        w.writeEmptyElementWithNamespace(ns, "rPr");
        w.writeStartElementWithNamespace(ns, "t");
        w.writeAttributeWithNamespace("http://www.w3.org/XML/1998/namespace", "space", "preserve");
        w.writeCharacters(" ");
        w.writeEndElement();
        w.writeEndElement();
    } else {
        for (const auto& run : runArray_)
            run->writeWithXMLWriter(w);
    }
    if (pageBookmark)
        writePageBookmark(w, *pageBookmark);
    w.writeEndElement();
}

void QVDocxParagraph::writePageBookmark(XMLFileWriter& w, int64_t page) {
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    const std::string id = platform::formatInteger(page);
    w.writeStartElementWithNamespace(ns, "bookmarkStart");
    w.writeAttributeWithNamespace(ns, "id", id);
    w.writeAttributeWithNamespace(ns, "name", id);
    w.writeEndElement();
    w.writeStartElementWithNamespace(ns, "bookmarkEnd");
    w.writeAttributeWithNamespace(ns, "id", id);
    w.writeEndElement();
}
