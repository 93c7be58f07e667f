// Text state and text showing.
#include "pdf/QVPDFConentParserOperators.h"
#include "pdf/QVPDFTextCharacters.h"

#include <algorithm>
#include <climits>

using platform::PdfScanner;
using O = QVPDFConentParser::Operators;

namespace {

// Appends the units of one character. A surrogate pair stays one character;
// a lone surrogate or U+0000 is no text.
void appendUnits(std::u16string& text, const uint32_t* u, int count) {
    for (int i = 0; i < count; ++i) {
        uint32_t unit = u[i];
        if (unit == 0 || unit > 0x10FFFF)
            continue;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 < count && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
                text.push_back(static_cast<char16_t>(unit));
                text.push_back(static_cast<char16_t>(u[i + 1]));
                ++i;
            }
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            continue;
        if (unit > 0xFFFF) {
            uint32_t v = unit - 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
            continue;
        }
        text.push_back(static_cast<char16_t>(unit));
    }
}

} // namespace

void O::showTextString(QVPDFConentParser& p, const std::string& bytes) {
    QVPDFRenderState* st = p.currentRenderingState();
    if (!st || !st->font())
        return;
    // The font stays alive through the loop even if a report changes the state.
    std::shared_ptr<const QVPDFFont> font = st->font();
    const double fontSize = st->fontSize();
    const double charSpacing = st->characterSpacing();
    const double wordSpacing = st->wordSpacing();
    const double scaling = st->horizontalScaling();
    // In vertical writing the spacings lengthen the vertical advance and the
    // horizontal scaling does not apply.
    const bool vertical = font->wMode() != 0;

    std::u16string text;
    double totalWidth = 0, totalHeight = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t remaining = bytes.size();
    while (remaining > 0) {
        uint32_t code = 32;
        uint32_t u[16];
        std::fill(std::begin(u), std::end(u), 32u);
        int uLen = 0;
        float dx = 0, dy = 0, ox = 0, oy = 0;
        int len = static_cast<int>(std::min<size_t>(remaining, INT_MAX));
        int n = font->getNextChar(s, len, &code, u, 16, &uLen, &dx, &dy, &ox, &oy);
        // A font must consume 1..len bytes and write at most 16 units; hold it to that.
        n = std::clamp(n, 1, len);
        uLen = std::clamp(uLen, 0, 16);
        QVPDF_FixUnicodeSequence(u, &uLen);
        const bool blank =
            uLen == 1 && QVPDF_IsWhitespaceCharacter(static_cast<char16_t>(u[0] & 0xFFFF));
        if (blank)
            u[0] = 0x20;
        float w, h;
        if (!vertical) {
            w = static_cast<float>(static_cast<double>(dx) * fontSize + charSpacing);
            if (blank)
                w = static_cast<float>(static_cast<double>(w) + wordSpacing);
            w = static_cast<float>(static_cast<double>(w) * scaling);
            h = static_cast<float>(static_cast<double>(dy) * fontSize);
        } else {
            w = static_cast<float>(static_cast<double>(dx) * fontSize * scaling);
            h = static_cast<float>(static_cast<double>(dy) * fontSize + charSpacing +
                                   (blank ? wordSpacing : 0.0));
        }
        appendUnits(text, u, uLen);
        s += n;
        remaining -= static_cast<size_t>(n);
        totalWidth += w;
        totalHeight += h;
    }
    // A string whose characters give no text is not reported, but its glyphs
    // still take their room: the next string starts after them.
    if (!text.empty() && p.delegate_)
        p.delegate_->didScanText(p, text, {totalWidth, totalHeight});
    if (QVPDFRenderState* after = p.currentRenderingState())
        after->translateTextPosition({totalWidth, totalHeight});
}

void O::BT(PdfScanner&, void* info) {
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setTextMatrix(platform::AffineTransform::identity(), true);
}

void O::ET(PdfScanner&, void*) {}

void O::Tj(PdfScanner& s, void* info) {
    std::string bytes;
    if (s.popString(bytes))
        showTextString(parser(info), bytes);
}

void O::quote(PdfScanner& s, void* info) {
    QVPDFConentParser& p = parser(info);
    std::string bytes;
    bool ok = s.popString(bytes);
    if (QVPDFRenderState* st = p.currentRenderingState())
        st->newLine();
    if (ok)
        showTextString(p, bytes);
}

void O::doubleQuote(PdfScanner& s, void* info) {
    QVPDFConentParser& p = parser(info);
    std::string bytes;
    double ac = 0, aw = 0;
    bool hasString = s.popString(bytes);
    bool hasAc = popReal(s, ac);
    bool hasAw = popReal(s, aw);
    if (QVPDFRenderState* st = p.currentRenderingState()) {
        if (hasAw)
            st->setWordSpacing(aw);
        if (hasAc)
            st->setCharacterSpacing(ac);
        st->newLine();
    }
    if (hasString)
        showTextString(p, bytes);
}

void O::TJ(PdfScanner& s, void* info) {
    QVPDFConentParser& p = parser(info);
    platform::PdfObject array;
    if (!s.popArray(array))
        return;
    for (size_t idx = 0; idx < array.arraySize(); ++idx) {
        platform::PdfObject e = array.at(idx);
        if (auto bytes = e.string()) {
            showTextString(p, *bytes);
            continue;
        }
        if (!e.isNumber())
            continue;
        QVPDFRenderState* st = p.currentRenderingState();
        if (!st || !st->font())
            return;
        // The 1/1000 is single precision: a real adjustment is multiplied in
        // double, an integer one in single precision.
        constexpr float kThousandth = 0.001f;
        double adjustment;
        if (auto i = e.integer())
            adjustment = static_cast<double>(static_cast<float>(*i) * kThousandth);
        else
            adjustment = *e.number() * static_cast<double>(kThousandth);
        double shift = -(std::fabs(st->fontSize()) * adjustment);
        if (!std::isfinite(shift))
            continue;
        if (st->font()->wMode() != 0)
            st->translateTextPosition({0, shift}); // vertical writing moves down the column
        else
            st->translateTextPosition({shift, 0});
    }
}

void O::Tm(PdfScanner& s, void* info) {
    double m[6];
    if (!popReals(s, m, 6))
        return;
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setTextMatrix({m[0], m[1], m[2], m[3], m[4], m[5]}, true);
}

void O::Td(PdfScanner& s, void* info) {
    double t[2];
    if (!popReals(s, t, 2))
        return;
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->newLineWithLeading(t[1], t[0], false);
}

void O::TD(PdfScanner& s, void* info) {
    double t[2];
    if (!popReals(s, t, 2))
        return;
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->newLineWithLeading(t[1], t[0], true);
}

void O::Tstar(PdfScanner&, void* info) {
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->newLine();
}

namespace {
template <void (QVPDFRenderState::*Set)(double)>
void setNumber(PdfScanner& s, void* info, double factor = 1) {
    double v;
    if (!O::popReal(s, v))
        return;
    if (QVPDFRenderState* st = O::parser(info).currentRenderingState())
        (st->*Set)(v * factor);
}
} // namespace

void O::Tw(PdfScanner& s, void* info) {
    setNumber<&QVPDFRenderState::setWordSpacing>(s, info);
}
void O::Tc(PdfScanner& s, void* info) {
    setNumber<&QVPDFRenderState::setCharacterSpacing>(s, info);
}
void O::TL(PdfScanner& s, void* info) {
    setNumber<&QVPDFRenderState::setLeading>(s, info);
}
void O::Tz(PdfScanner& s, void* info) {
    setNumber<&QVPDFRenderState::setHorizontalScaling>(s, info, 0.01);
}
void O::Ts(PdfScanner& s, void* info) {
    setNumber<&QVPDFRenderState::setTextRise>(s, info);
}

void O::Tf(PdfScanner& s, void* info) {
    QVPDFConentParser& p = parser(info);
    double size;
    std::string name;
    if (!popReal(s, size) || !s.popName(name))
        return;
    // A name the resources do not hold keeps the current font. A font entry
    // that gave no usable font selects none: its strings must not be decoded
    // through the font before it.
    auto font = p.fontCollection().fontNamed(name);
    if (!font && !p.fontCollection().containsName(name))
        return;
    if (QVPDFRenderState* st = p.currentRenderingState()) {
        st->setFont(std::move(font));
        st->setFontSize(size);
    }
}

// The rendering mode is not kept: text in every mode, invisible text
// included, is reported alike.
void O::Tr(PdfScanner& s, void*) {
    long long mode;
    (void)s.popInteger(mode);
}
