#include "flow/rtf/QVRTFState.h"

#include "flow/QVFlowFileWriter.h"
#include "flow/rtf/QVRTFFileWriter.h"
#include "pdf/font/QVPDFFontUtilities.h"
#include "platform/NumberFormat.h"

#include <cmath>
#include <limits>

namespace {

const char* familyClass(ReaderFontKind kind) {
    switch (kind) {
    case ReaderFontKind::Serif:
        return "\\froman";
    case ReaderFontKind::Sans:
        return "\\fswiss";
    case ReaderFontKind::Mono:
        return "\\fmodern";
    case ReaderFontKind::Unknown:
        break;
    }
    return "\\fnil";
}

} // namespace

std::string QVRTFFontEntry::rtfFormat() const {
    if (fontName_.empty())
        return ";";
    std::u16string name = QVPDFFontUtilities::utf8ToUtf16(fontName_);
    std::erase(name, u';');
    return "\\f" + platform::formatInteger(fontIndex_) + familyClass(kind_) + "\\fcharset0 " +
           QVRTFFileWriter::_formatTextOfString(name) + ";";
}

std::string QVRTFColorEntry::rtfFormat() const {
    double r = 255.0 * red_, g = 255.0 * green_, b = 255.0 * blue_;
    if (red_ > 0.9 && green_ > 0.9 && blue_ > 0.9)
        r = g = b = 127.5;
    const auto component = [](double v) {
        return platform::formatFixed(std::isfinite(v) ? v : 0.0, 0);
    };
    return "\\red" + component(r) + "\\green" + component(g) + "\\blue" + component(b) + ";";
}

QVRTFState& QVRTFState::sharedInstance() {
    static QVRTFState state;
    return state;
}

void QVRTFState::resetToDefault() {
    state_ = QVRTFUtilities::defaultStateProperty();
    _registeredColors.assign(1, QVRTFColorEntry());
    QVRTFFontEntry font;
    font.setFontIndex(0);
    _registeredFonts.assign(1, font);
    fontIndex_ = {{font.fontName(), 0}};
    colorIndex_ = {{{0.0, 0.0, 0.0}, 0}};
}

void QVRTFState::writeRegistedFonts(QVFlowFileWriter& writer) const {
    writer.write("{\\fonttbl");
    for (const QVRTFFontEntry& font : _registeredFonts)
        writer.write(font.rtfFormat());
    writer.write("}\n");
}

void QVRTFState::writeRegistedColors(QVFlowFileWriter& writer) const {
    writer.write("{\\colortbl");
    for (const QVRTFColorEntry& color : _registeredColors)
        writer.write(color.rtfFormat());
    writer.write("}\n");
}

int64_t QVRTFState::_colorIndexByColor(const QVRTFColorEntry& color) {
    const bool comparable =
        !std::isnan(color.red()) && !std::isnan(color.green()) && !std::isnan(color.blue());
    // -0 equals 0: adding 0 makes it +0 for the key.
    const auto key = std::make_tuple(color.red() + 0.0, color.green() + 0.0, color.blue() + 0.0);
    if (comparable)
        if (auto it = colorIndex_.find(key); it != colorIndex_.end())
            return it->second;
    _registeredColors.push_back(color);
    const int64_t index = int64_t(_registeredColors.size() - 1);
    if (comparable)
        colorIndex_.emplace(key, index);
    return index;
}

int64_t QVRTFState::_fontIndexByFont(const QVRTFFontEntry& font) {
    if (auto it = fontIndex_.find(font.fontName()); it != fontIndex_.end())
        return it->second;
    QVRTFFontEntry copy = font;
    copy.setFontIndex(int32_t(_registeredFonts.size()));
    _registeredFonts.push_back(std::move(copy));
    const int64_t index = int64_t(_registeredFonts.size() - 1);
    fontIndex_.emplace(font.fontName(), index);
    return index;
}

void QVRTFState::writeForegroundColorAttributesIfNeed(const QVRTFColorEntry& color,
                                                      QVFlowFileWriter& writer) {
    const int64_t i = _colorIndexByColor(color);
    if (i == state_.foregroundColorIndex)
        return;
    writer.write("\\cf" + platform::formatInteger(i) + " ");
    state_.foregroundColorIndex = int32_t(i);
}

void QVRTFState::writeBackgroundColorAttributesIfNeed(const QVRTFColorEntry& color,
                                                      QVFlowFileWriter& writer) {
    const int64_t i = _colorIndexByColor(color);
    if (i == state_.backgroundColorIndex)
        return;
    writer.write("\\cb" + platform::formatInteger(i) + " ");
    state_.backgroundColorIndex = int32_t(i);
}

void QVRTFState::writeFontSizeAttributesIfNeed(double size, QVFlowFileWriter& writer) {
    if (size > 288.0 || !std::isfinite(size))
        return;
    if (state_.fontIndex != -1 && size == state_.fontSize)
        return;
    writer.write("\\fs" + platform::formatFixed(size, 0) + " ");
    state_.fontSize = float(size);
}

namespace {

/// The size in whole half-points, truncated; a size that is not a number or
/// does not fit gives 0 (RTF's word takes a 16-bit value anyway).
int32_t wholeHalfPoints(double size) {
    if (!(size > -32768.0 && size < 32768.0))
        return 0;
    return int32_t(std::trunc(size));
}

} // namespace

void QVRTFState::writeFontAttributesIfNeed(const QVRTFFontEntry& font, QVFlowFileWriter& writer) {
    const int64_t i = _fontIndexByFont(font);
    const int32_t s = wholeHalfPoints(font.fontSize());
    const bool fresh = state_.fontIndex == -1;
    std::string words;
    if (fresh || i != state_.fontIndex)
        words += "\\f" + platform::formatInteger(i);
    if (fresh || font.italic() != bool(state_.flags.italic))
        words += font.italic() ? "\\i" : "\\i0";
    if (fresh || font.bold() != bool(state_.flags.bold))
        words += font.bold() ? "\\b" : "\\b0";
    if (fresh || font.underline() != state_.underline)
        words += font.underline() > 0 ? "\\ul" : "\\ul0";
    if (fresh || float(s) != state_.fontSize)
        words += "\\fs" + platform::formatInteger(s);
    state_.fontIndex = int32_t(i);
    state_.fontSize = float(s);
    state_.flags.bold = font.bold();
    state_.flags.italic = font.italic();
    state_.underline = font.underline();
    if (!words.empty())
        writer.write(words + " ");
}
