#include "excel/analysis/QVExcelRunText.h"

#include "excel/QVExcelManager.h"
#include "excel/QVExcelUtilities.h"
#include "excel/workbook/QVExcelStyleFont.h"
#include "writer/QVHexColor.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <climits>
#include <cstdint>

std::shared_ptr<QVExcelRunText> QVExcelRunText::copy() const {
    auto run = std::make_shared<QVExcelRunText>();
    run->setDrawIndex(drawIndex());
    run->setCtmInfo(ctmInfo());
    run->text_ = text_;
    run->pieceStarts_ = pieceStarts_;
    run->rPr_ = rPr_;
    return run;
}

void QVExcelRunText::appendText(std::u16string_view more) {
    if (!text_.empty() && !more.empty() && text_.size() < UINT32_MAX)
        pieceStarts_.push_back(static_cast<uint32_t>(text_.size()));
    text_ += more;
}

void QVExcelRunText::appendRun(const QVExcelRunText& other) {
    const size_t at = text_.size();
    appendText(other.text_);
    if (at + other.text_.size() > UINT32_MAX)
        return;
    for (uint32_t start : other.pieceStarts_)
        pieceStarts_.push_back(static_cast<uint32_t>(at + start));
}

void QVExcelRunText::keepText(size_t from, size_t length) {
    from = std::min(from, text_.size());
    length = std::min(length, text_.size() - from);
    text_ = text_.substr(from, length);
    std::erase_if(pieceStarts_, [&](uint32_t at) { return at <= from || at >= from + length; });
    for (uint32_t& at : pieceStarts_)
        at -= static_cast<uint32_t>(from);
}

platform::Rect QVExcelRunText::frame() const {
    const auto& info = ctmInfo();
    return platform::Rect{{info.xLeft, info.yTop}, {textWidth_, info.yBottom - info.yTop}};
}

void QVExcelRunText::writeXMLWith(XMLFileWriter& writer, std::u16string_view leading,
                                  size_t maxLength) const {
    auto manager = QVExcelManager::sharedInstance();
    const double size =
        manager->isNeedDefaultFontSize() ? QVExcelUtilities::defaultFontSize() : rPr_.sz();
    std::string font = manager->isNeedDefaultFontName() || rPr_.rFont().empty()
                           ? QVExcelUtilities::defaultFontName()
                           : rPr_.rFont();

    writer.writeStartElement("r");
    writer.writeStartElement("rPr");
    writer.writeStartElement("sz");
    writer.writeAttribute("val", QVExcelStyleFont::writtenSize(size));
    writer.writeEndElement();
    if (rPr_.rgbColor()) {
        writer.writeStartElement("color");
        writer.writeAttribute("rgb", QVHexColor::argbStringFromRGBValue(*rPr_.rgbColor()));
        writer.writeEndElement();
    }
    writer.writeStartElement("rFont");
    writer.writeAttribute("val", font);
    writer.writeEndElement();
    writer.writeStartElement("b");
    writer.writeAttribute("val", rPr_.b() ? "1" : "0");
    writer.writeEndElement();
    writer.writeStartElement("i");
    writer.writeAttribute("val", rPr_.i() ? "1" : "0");
    writer.writeEndElement();
    writer.writeEndElement("rPr");
    writer.writeStartElement("t");
    writer.writeAttribute("xml:space", "preserve");
    if (leading.empty() && maxLength >= text_.size()) {
        writer.writeCharacters(std::u16string_view(text_));
    } else {
        std::u16string text(leading);
        text += text_;
        if (text.size() > maxLength) {
            size_t cut = maxLength;
            if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF)
                --cut;
            text.resize(cut);
        }
        writer.writeCharacters(std::u16string_view(text));
    }
    writer.writeEndElement("t");
    writer.writeEndElement("r");
}
