#include "excel/workbook/QVExcelStyle.h"

#include "excel/QVExcelManager.h"
#include "platform/NumberFormat.h"
#include "writer/QVHexColor.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>

namespace {

std::string decimal(long long v) {
    return platform::formatInteger(v);
}

// Strict overlap: rectangles that only share an edge do not intersect.
bool overlaps(const platform::Rect& a0, const platform::Rect& b0) {
    const platform::Rect a = a0.standardized(), b = b0.standardized();
    return a.minX() < b.maxX() && b.minX() < a.maxX() && a.minY() < b.maxY() && b.minY() < a.maxY();
}

} // namespace

QVExcelStyle::QVExcelStyle()
    : fontsArr_(defaultFonts()), fillsArr_(defaultFills()), bordersArr_(defaultBorders()),
      cellStyleXfsArr_(defaultCellStyleXfs()), cellXfsArr_(defaultCellXfs()) {}

QVExcelStyle::FontList QVExcelStyle::defaultFonts() {
    return {std::make_shared<QVExcelStyleFont>()};
}

QVExcelStyle::FillList QVExcelStyle::defaultFills() {
    auto none = std::make_shared<QVExcelStyleFill>();
    auto gray = std::make_shared<QVExcelStyleFill>();
    QVExcel_PatternFill pattern = QVExcelStyleFill::defaultFill();
    pattern.patternType = "gray125";
    gray->setPatternFill(pattern);
    return {none, gray};
}

QVExcelStyle::BorderList QVExcelStyle::defaultBorders() {
    return {std::make_shared<QVExcelStyleBorder>()};
}

QVExcelStyle::XfList QVExcelStyle::defaultCellStyleXfs() {
    QVExcel_Xf xf = QVExcelStyleXf::defaultXf();
    xf.alignment.horizontal = "center";
    xf.alignment.vertical = "center";
    return {std::make_shared<QVExcelStyleXf>(xf)};
}

QVExcelStyle::XfList QVExcelStyle::defaultCellXfs() {
    QVExcel_Xf xf = QVExcelStyleXf::defaultXf();
    xf.applyAlignment = true;
    return {std::make_shared<QVExcelStyleXf>(xf)};
}

// ---------------------------------------------------------------------------
// Registration

int32_t QVExcelStyle::collectNumberFormat(const std::string& formatCode) {
    if (formatCode.empty())
        return 0;
    for (const auto& f : numFmtsArr_)
        if (f->formatCode() == formatCode)
            return f->numFmtID();
    int32_t id = kFirstCustomNumFmtID;
    while (existNumberFormat(id))
        ++id;
    numFmtsArr_.push_back(std::make_shared<QVExcelStyleNumFmt>(id, formatCode));
    return id;
}

bool QVExcelStyle::existNumberFormat(int32_t numFmtID) const {
    return std::any_of(numFmtsArr_.begin(), numFmtsArr_.end(),
                       [&](const auto& f) { return f->numFmtID() == numFmtID; });
}

int32_t QVExcelStyle::collectFonts(const std::shared_ptr<QVExcelStyleFont>& font) {
    if (!font)
        return 0;
    // Registered fonts are unequal to each other, so an equal last one is
    // the one the index would find.
    if (lastFont_ < fontsArr_.size() && fontsIndexed_ == fontsArr_.size() &&
        fontsArr_[lastFont_]->isEqualToFont(*font))
        return static_cast<int32_t>(lastFont_);
    for (; fontsIndexed_ < fontsArr_.size(); ++fontsIndexed_)
        fontIndex_.emplace(fontsArr_[fontsIndexed_]->comparisonKey(),
                           static_cast<int32_t>(fontsIndexed_));
    std::string key = font->comparisonKey();
    if (auto it = fontIndex_.find(key); it != fontIndex_.end()) {
        // A registered font changed after it was indexed is looked for the long way.
        const size_t i = static_cast<size_t>(it->second);
        if (i < fontsArr_.size() && fontsArr_[i]->isEqualToFont(*font)) {
            lastFont_ = i;
            return it->second;
        }
        for (size_t j = 0; j < fontsArr_.size(); ++j)
            if (fontsArr_[j]->isEqualToFont(*font))
                return static_cast<int32_t>(j);
    }
    fontsArr_.push_back(font);
    fontIndex_.emplace(std::move(key), static_cast<int32_t>(fontsArr_.size() - 1));
    fontsIndexed_ = fontsArr_.size();
    lastFont_ = fontsArr_.size() - 1;
    return static_cast<int32_t>(fontsArr_.size() - 1);
}

void QVExcelStyle::collectFills(const std::shared_ptr<QVExcelStyleFill>& fill) {
    if (!fill)
        return;
    for (const auto& f : fillsArr_)
        if (f->isEqualToFill(*fill))
            return;
    fillsArr_.push_back(fill);
}

int32_t QVExcelStyle::getFillIdWithCellFrame(const platform::Rect& cellFrame) const {
    if (!QVExcelManager::sharedInstance()->isNeedCollectFills())
        return 0;
    for (size_t i = 0; i < fillsArr_.size(); ++i) {
        const platform::Rect& r = fillsArr_[i]->rect();
        if (r.size.width != 0 && r.size.height != 0 && overlaps(r, cellFrame))
            return static_cast<int32_t>(i);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// The styles part

void QVExcelStyle::writeStyleTo(const std::string& workFolder) const {
    auto writer = XMLFileWriter::openForWriting(workFolder + "/xl/styles.xml");
    writeStyle(*writer);
}

void QVExcelStyle::writeStyle(XMLFileWriter& w) const {
    w.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    w.writeStartElement("styleSheet");
    w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());
    writeNumFmts(w);
    writeFonts(w);
    writeFills(w);
    writeBorders(w);
    writeCellStyleXfs(w);
    writeCellXfs(w);
    writeCellStyles(w);
    writeDXfs(w);
    writeTableStyles(w);
    w.writeEndElement();
    w.writeEndDocument();
}

void QVExcelStyle::writeNumFmts(XMLFileWriter& w) const {
    if (numFmtsArr_.empty())
        return;
    w.writeStartElement("numFmts");
    w.writeAttribute("count", decimal(static_cast<long long>(numFmtsArr_.size())));
    for (const auto& f : numFmtsArr_) {
        w.writeStartElement("numFmt");
        w.writeAttribute("numFmtId", decimal(f->numFmtID()));
        w.writeAttribute("formatCode", f->formatCode());
        w.writeEndElement();
    }
    w.writeEndElement();
}

void QVExcelStyle::writeFonts(XMLFileWriter& w) const {
    w.writeStartElement("fonts");
    w.writeAttribute("count", decimal(static_cast<long long>(fontsArr_.size())));
    for (const auto& f : fontsArr_) {
        w.writeStartElement("font");
        w.writeStartElement("sz");
        w.writeAttribute("val", QVExcelStyleFont::writtenSize(f->font().sz));
        w.writeEndElement();
        w.writeStartElement("color");
        w.writeAttribute("rgb", QVHexColor::argbStringFromRGBValue(f->rgbColor()));
        w.writeEndElement();
        w.writeStartElement("name");
        w.writeAttribute("val", f->font().name);
        w.writeEndElement();
        w.writeStartElement("b");
        w.writeAttribute("val", f->font().b ? "1" : "0");
        w.writeEndElement();
        w.writeStartElement("i");
        w.writeAttribute("val", f->font().i ? "1" : "0");
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
}

void QVExcelStyle::writeFills(XMLFileWriter& w) const {
    w.writeStartElement("fills");
    w.writeAttribute("count", decimal(static_cast<long long>(fillsArr_.size())));
    for (const auto& f : fillsArr_) {
        w.writeStartElement("fill");
        w.writeStartElement("patternFill");
        w.writeAttribute("patternType", f->patternFill().patternType);
        if (f->fgRGBColor()) {
            w.writeStartElement("fgColor");
            w.writeAttribute("rgb", QVHexColor::argbStringFromRGBValue(*f->fgRGBColor()));
            w.writeEndElement();
        }
        w.writeEndElement("patternFill");
        w.writeEndElement("fill");
    }
    w.writeEndElement();
}

void QVExcelStyle::writeBorders(XMLFileWriter& w) const {
    w.writeStartElement("borders");
    w.writeAttribute("count", decimal(static_cast<long long>(bordersArr_.size())));
    for (const auto& b : bordersArr_) {
        const QVExcel_PatternBorder& border = b->border();
        w.writeStartElement("border");
        const std::pair<const char*, const QVExcel_PatternBorderElement*> edges[] = {
            {"left", &border.left},
            {"right", &border.right},
            {"top", &border.top},
            {"bottom", &border.bottom},
            {"diagonal", &border.diagonal}};
        for (const auto& [name, edge] : edges) {
            w.writeStartElement(name);
            if (!edge->style.empty())
                w.writeAttribute("style", edge->style);
            if (edge->color.rgb) {
                w.writeStartElement("color");
                w.writeAttribute("rgb", QVHexColor::argbStringFromRGBValue(*edge->color.rgb));
                w.writeEndElement();
            }
            w.writeEndElement(name);
        }
        w.writeEndElement("border");
    }
    w.writeEndElement();
}

namespace {

void writeXfFlags(XMLFileWriter& w, const QVExcel_Xf& xf) {
    if (xf.applyNumberFormat)
        w.writeAttribute("applyNumberFormat", "1");
    if (xf.applyFill)
        w.writeAttribute("applyFill", "1");
    if (xf.applyBorder)
        w.writeAttribute("applyBorder", "1");
    if (xf.applyAlignment)
        w.writeAttribute("applyAlignment", "1");
    if (xf.applyProtection)
        w.writeAttribute("applyProtection", "1");
}

} // namespace

void QVExcelStyle::writeCellStyleXfs(XMLFileWriter& w) const {
    w.writeStartElement("cellStyleXfs");
    w.writeAttribute("count", decimal(static_cast<long long>(cellStyleXfsArr_.size())));
    for (const auto& entry : cellStyleXfsArr_) {
        const QVExcel_Xf& xf = entry->formatedElm();
        w.writeStartElement("xf");
        w.writeAttribute("numFmtId", decimal(xf.numFmtId));
        w.writeAttribute("fontId", decimal(xf.fontId));
        w.writeAttribute("fillId", decimal(xf.fillId));
        w.writeAttribute("borderId", decimal(xf.borderId));
        writeXfFlags(w, xf);
        w.writeStartElement("alignment");
        if (xf.alignment.vertical)
            w.writeAttribute("vertical", *xf.alignment.vertical);
        if (xf.alignment.horizontal && !xf.alignment.horizontal->empty())
            w.writeAttribute("horizontal", *xf.alignment.horizontal);
        w.writeEndElement("alignment");
        w.writeEndElement("xf");
    }
    w.writeEndElement("cellStyleXfs");
}

void QVExcelStyle::writeCellXfs(XMLFileWriter& w) const {
    // One wrap setting for the whole document, from its options.
    const char* wrap = QVExcelManager::sharedInstance()->isNeedWrapText() ? "1" : "0";
    w.writeStartElement("cellXfs");
    w.writeAttribute("count", decimal(static_cast<long long>(cellXfsArr_.size())));
    for (const auto& entry : cellXfsArr_) {
        const QVExcel_Xf& xf = entry->formatedElm();
        w.writeStartElement("xf");
        w.writeAttribute("numFmtId", decimal(xf.numFmtId));
        w.writeAttribute("fontId", decimal(xf.fontId));
        w.writeAttribute("fillId", decimal(xf.fillId));
        w.writeAttribute("borderId", decimal(xf.borderId));
        w.writeAttribute("xfId", decimal(xf.xfId));
        writeXfFlags(w, xf);
        w.writeStartElement("alignment");
        if (xf.alignment.horizontal)
            w.writeAttribute("horizontal", *xf.alignment.horizontal);
        if (xf.alignment.vertical)
            w.writeAttribute("vertical", *xf.alignment.vertical);
        w.writeAttribute("wrapText", wrap);
        w.writeEndElement("alignment");
        w.writeEndElement("xf");
    }
    w.writeEndElement("cellXfs");
}

void QVExcelStyle::writeCellStyles(XMLFileWriter& w) const {
    // No named style is ever registered; the built-in "Normal" style over the
    // first cell style format is what readers expect to find.
    w.writeStartElement("cellStyles");
    w.writeAttribute("count", "1");
    w.writeStartElement("cellStyle");
    w.writeAttribute("name", "Normal");
    w.writeAttribute("xfId", "0");
    w.writeAttribute("builtinId", "0");
    w.writeEndElement();
    w.writeEndElement();
}

void QVExcelStyle::writeDXfs(XMLFileWriter& w) const {
    w.writeStartElement("dxfs");
    w.writeAttribute("count", "0");
    w.writeEndElement("dxfs");
}

void QVExcelStyle::writeTableStyles(XMLFileWriter& w) const {
    w.writeStartElement("tableStyles");
    w.writeAttribute("count", "0");
    w.writeAttribute("defaultTableStyle", "TableStyleMedium9");
    w.writeAttribute("defaultPivotStyle", "PivotStyleLight16");
    w.writeEndElement("tableStyles");
}
