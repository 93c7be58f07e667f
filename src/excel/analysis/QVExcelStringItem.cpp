#include "excel/analysis/QVExcelStringItem.h"

#include "platform/text/ScriptClasses.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <limits>

namespace {

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

char32_t firstCodePoint(std::u16string_view s) {
    if (s.size() >= 2 && isHighSurrogate(s[0]) && isLowSurrogate(s[1]))
        return 0x10000 + ((char32_t(s[0]) - 0xD800) << 10) + (char32_t(s[1]) - 0xDC00);
    return s[0];
}

char32_t lastCodePoint(std::u16string_view s) {
    size_t n = s.size();
    if (n >= 2 && isHighSurrogate(s[n - 2]) && isLowSurrogate(s[n - 1]))
        return 0x10000 + ((char32_t(s[n - 2]) - 0xD800) << 10) + (char32_t(s[n - 1]) - 0xDC00);
    return s[n - 1];
}

bool isSpacedWordCharacter(char32_t c) {
    return platform::isLetterOrDigit(c) && !platform::isOfScriptWithoutWordSpaces(c);
}

// Punctuation that ends a word and is followed by a space before the next
// one ("a, b", "(2016) x", "50% of"), and punctuation that opens one.
bool endsWordBeforeSpace(char32_t c) {
    return std::u32string_view(U",.;:!?)]}%\u2019\u201D").find(c) != std::u32string_view::npos;
}
bool opensWord(char32_t c) {
    return std::u32string_view(U"([{\u2018\u201C").find(c) != std::u32string_view::npos;
}
bool isAsciiDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

} // namespace

bool QVExcelStringItem::needsWordSpace(std::u16string_view left, std::u16string_view right) {
    if (left.empty() || right.empty())
        return false;
    const char32_t last = lastCodePoint(left), first = firstCodePoint(right);
    // A separator before a digit may be inside a number ("1," "234", or a
    // lone "," between digit pieces); only after a word does it end a phrase
    // ("Tepas," "1993").
    if ((last == U',' || last == U'.') && isAsciiDigit(first) &&
        (left.size() < 2 || isAsciiDigit(left[left.size() - 2]) ||
         !isSpacedWordCharacter(left[left.size() - 2])))
        return false;
    return (isSpacedWordCharacter(last) || endsWordBeforeSpace(last)) &&
           (isSpacedWordCharacter(first) || opensWord(first));
}

char32_t QVExcelStringItem::firstCharacter(std::u16string_view text) {
    return firstCodePoint(text);
}

char32_t QVExcelStringItem::lastCharacter(std::u16string_view text) {
    return lastCodePoint(text);
}

std::u16string QVExcelStringItem::content() const {
    std::u16string text;
    for (const auto& run : textRuns_) {
        if (needsWordSpace(text, run->text()))
            text += u' ';
        text += run->text();
    }
    return text;
}

double QVExcelStringItem::textWidth() const {
    double width = 0;
    for (const auto& run : textRuns_)
        width += run->textWidth();
    return width;
}

double QVExcelStringItem::maxFontSize() const {
    double size = 12.0;
    for (const auto& run : textRuns_)
        size = std::max(size, run->rPr().sz());
    return size;
}

const QVExcelRunTextProperty* QVExcelStringItem::runProperty() const {
    return textRuns_.empty() ? nullptr : &textRuns_.front()->rPr();
}

bool QVExcelStringItem::isAttributeRunText() const {
    if (textRuns_.size() < 2)
        return false;
    const auto& first = textRuns_.front()->rPr();
    return std::any_of(textRuns_.begin() + 1, textRuns_.end(),
                       [&](const auto& run) { return !first.isEqualToRPr(run->rPr()); });
}

bool QVExcelStringItem::containRunText(const QVExcelRunText& run) const {
    return run.columnIndex() == columnIndex_ && run.rowIndex() == rowIndex_;
}

std::shared_ptr<QVExcelRunText> QVExcelStringItem::lastTextRun() const {
    return textRuns_.empty() ? nullptr : textRuns_.back();
}

void QVExcelStringItem::calculatStringItemInfo() {
    if (textRuns_.empty())
        return;
    double left = std::numeric_limits<double>::max();
    double top = std::numeric_limits<double>::max();
    double right = std::numeric_limits<double>::lowest();
    double bottom = std::numeric_limits<double>::lowest();
    for (const auto& run : textRuns_) {
        const auto& info = run->ctmInfo();
        left = std::min(left, info.xLeft);
        top = std::min(top, info.yTop);
        right = std::max(right, info.xRight);
        bottom = std::max(bottom, info.yBottom);
        rowLength_ = std::max(rowLength_, run->rowLength());
        columnLength_ = std::max(columnLength_, run->columnLength());
    }
    itemInfo_.setDisplayX(left);
    itemInfo_.setDisplayY(top);
    itemInfo_.setDisplayWidth(right - left);
    itemInfo_.setDisplayHeight(bottom - top);
}

void QVExcelStringItem::writeXMLWith(XMLFileWriter& writer) const {
    // Excel holds at most 32,767 characters in a cell; the rest is cut off.
    constexpr size_t kMaxCellLength = 32767;
    writer.writeStartElement("si");
    std::u16string_view before; // the text so far ends with this run's text
    size_t length = 0;
    for (const auto& run : textRuns_) {
        if (length >= kMaxCellLength)
            break;
        const std::u16string_view leading = needsWordSpace(before, run->text()) ? u" " : u"";
        run->writeXMLWith(writer, leading, kMaxCellLength - length);
        length += leading.size() + run->text().size();
        if (!run->text().empty())
            before = run->text();
    }
    writer.writeEndElement("si");
}
