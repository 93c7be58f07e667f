// Text state and text showing.
#include "pdf/content/QVPDFConentParserOperators.h"
#include "pdf/content/QVPDFTextCharacters.h"

#include <algorithm>
#include <climits>

using platform::PdfScanner;
using O = QVPDFConentParser::Operators;

namespace {

// Appends the units of one character. A surrogate pair stays one character;
// a lone surrogate or U+0000 is no text.
[[gnu::always_inline]] inline void appendUnits(std::u16string& text, const uint32_t* u, int count) {
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

// A full stop, middle dot or ellipsis: what leaders are drawn with.
bool isLeaderDot(uint32_t unit) {
    return unit == u'.' || unit == 0xB7 || unit == 0x2026;
}

// Leader dots a character spacing of more than this many ems apart read with
// a blank between each two, as dots drawn one at a time that far apart do.
constexpr double kSpacedDotEms = 0.1;

// Whether decoded units hold anything but whitespace.
bool holdsText(const uint32_t* u, int count) {
    for (int i = 0; i < count; ++i)
        if (!QVPDF_IsWhitespaceCharacter(static_cast<char16_t>(u[i] & 0xFFFF)))
            return true;
    return false;
}

// The text-state values a string is shown with, taken once per string.
struct ShowContext {
    const QVPDFFont& font;
    double fontSize, charSpacing, wordSpacing, scaling;
    // In vertical writing the spacings lengthen the vertical advance and the
    // horizontal scaling does not apply.
    bool vertical;
    // The signs a symbol font's private-use characters stand for.
    QVPDF_SymbolSet symbols;
};

// One decoded character: the bytes it used, its Unicode units, its advance
// (spacings included) and the width of its glyph alone.
struct ShownChar {
    int bytes;
    int uLen;
    bool blank; // one whitespace unit, reported as a space
    bool ink;   // has text other than whitespace
    float w, h;
    float dx; // the glyph's own advance for a font size of 1
    uint32_t u[16];
};

void decodeChar(const ShowContext& c, const unsigned char* s, size_t remaining, ShownChar& out) {
    uint32_t code = 32;
    std::fill(std::begin(out.u), std::end(out.u), 32u);
    int uLen = 0;
    float dx = 0, dy = 0, ox = 0, oy = 0;
    int len = static_cast<int>(std::min<size_t>(remaining, INT_MAX));
    int n = c.font.getNextChar(s, len, &code, out.u, 16, &uLen, &dx, &dy, &ox, &oy);
    // A font must consume 1..len bytes and write at most 16 units; hold it to that.
    out.bytes = std::clamp(n, 1, len);
    uLen = std::clamp(uLen, 0, 16);
    QVPDF_FixUnicodeSequence(out.u, &uLen);
    QVPDF_MapSymbolPrivateUse(c.symbols, out.u, uLen);
    out.uLen = uLen;
    out.blank = uLen == 1 && QVPDF_IsWhitespaceCharacter(static_cast<char16_t>(out.u[0] & 0xFFFF));
    if (out.blank)
        out.u[0] = 0x20;
    // A glyph that gives no text (a code the font maps to nothing) is still
    // drawn: it fills its place like a letter and is no gap to cut at.
    out.ink = !out.blank && (uLen <= 1 || holdsText(out.u, uLen));
    out.dx = dx;
    if (!c.vertical) {
        float w = static_cast<float>(static_cast<double>(dx) * c.fontSize + c.charSpacing);
        if (out.blank)
            w = static_cast<float>(static_cast<double>(w) + c.wordSpacing);
        out.w = static_cast<float>(static_cast<double>(w) * c.scaling);
        out.h = static_cast<float>(static_cast<double>(dy) * c.fontSize);
    } else {
        out.w = static_cast<float>(static_cast<double>(dx) * c.fontSize * c.scaling);
        out.h = static_cast<float>(static_cast<double>(dy) * c.fontSize + c.charSpacing +
                                   (out.blank ? c.wordSpacing : 0.0));
    }
}

// Reports one piece of a string that starts `start` along the string; the
// text matrix, standing `reportedAt` along it, is moved to the piece first.
// A piece of glyphs that give no text (a font that cannot be decoded) is
// reported with empty text: its strings are drawn and never vanish from the
// reports; `glyphs` says whether the piece holds any.
void reportPiece(QVPDFConentParser& p, QVPDFConentParserDelegate* delegate,
                 const std::u16string& piece, double start, double end, double height,
                 double& reportedAt, bool glyphs = false) {
    if ((piece.empty() && !glyphs) || !delegate)
        return;
    if (start != reportedAt) {
        if (QVPDFRenderState* now = p.currentRenderingState())
            now->translateTextPosition({start - reportedAt, 0});
        reportedAt = start;
    }
    delegate->didScanText(p, piece, {end - start, height});
}

// A stretch of blanks (their spacings included) or of character spacing
// between two glyphs of one string wider than this many ems is layout space:
// a column gap padded with spaces, a stretched word spacing, glyphs spread by
// a large character spacing. Word gaps, even in justified lines, stay below.
constexpr double kWideGapEms = 0.8;

// Shows a horizontal string that holds a wide gap: it is cut into pieces at
// each wide gap, each reported at its own position with the advance of its
// own glyphs, so text on either side of a padded or spread-out stretch is
// placed where the page shows it; wide blanks before the first or after the
// last glyph are left out. Advances run in `direction` (negative for mirrored
// text). Returns the string's whole advance and where the text matrix stands.
[[gnu::noinline]] platform::Size showPieces(QVPDFConentParser& p,
                                            QVPDFConentParserDelegate* delegate,
                                            const ShowContext& c, const std::string& bytes,
                                            double direction, double wideGap, double& reportedAt) {
    std::u16string text;
    double totalWidth = 0, totalHeight = 0;
    // The piece being collected: where it starts, and where its last glyph
    // with text ends (that glyph's character spacing excluded).
    double pieceStart = 0, inkEnd = 0;
    size_t inkLength = 0; // text units up to and including that glyph
    bool hasInk = false, anyInk = false;
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t remaining = bytes.size();
    ShownChar ch;
    while (remaining > 0) {
        decodeChar(c, s, remaining, ch);
        const bool ink = ch.ink;
        if (ink && (totalWidth - (hasInk ? inkEnd : pieceStart)) * direction > wideGap) {
            if (hasInk)
                reportPiece(p, delegate, text.substr(0, inkLength), pieceStart, inkEnd, 0,
                            reportedAt, true);
            text.clear();
            pieceStart = totalWidth;
            hasInk = false;
        }
        appendUnits(text, ch.u, ch.uLen);
        if (ink) {
            hasInk = anyInk = true;
            inkLength = text.size();
            inkEnd = totalWidth + static_cast<double>(ch.dx) * c.fontSize * c.scaling;
        }
        s += ch.bytes;
        remaining -= static_cast<size_t>(ch.bytes);
        totalWidth += ch.w;
        totalHeight += ch.h;
    }
    if (!anyInk) {
        // Blanks alone separate nothing: the string is shown as it is.
        reportPiece(p, delegate, text, 0, totalWidth, totalHeight, reportedAt);
    } else if (hasInk) {
        if ((totalWidth - inkEnd) * direction > wideGap)
            text.resize(inkLength);
        else
            inkEnd = totalWidth;
        reportPiece(p, delegate, text, pieceStart, inkEnd, pieceStart == 0 ? totalHeight : 0,
                    reportedAt, true);
    }
    return {totalWidth, totalHeight};
}

} // namespace

void O::showTextString(QVPDFConentParser& p, const std::string& bytes) {
    QVPDFRenderState* st = p.currentRenderingState();
    if (!st || !st->font())
        return;
    // The font stays alive through the loop even if a report changes the state.
    std::shared_ptr<const QVPDFFont> font = st->font();
    const ShowContext c{*font,
                        st->fontSize(),
                        st->characterSpacing(),
                        st->wordSpacing(),
                        st->horizontalScaling(),
                        font->wMode() != 0,
                        QVPDF_SymbolSetOfFont(font->fontName())};
    const double direction = c.fontSize * c.scaling < 0 ? -1.0 : 1.0;
    const double wideGap = c.vertical ? HUGE_VAL : kWideGapEms * std::fabs(c.fontSize * c.scaling);
    // The gap a glyph leaves after itself by character spacing alone.
    const double spacingGap = c.charSpacing * c.scaling * direction;
    // Strings without a wide gap (nearly all) are shown in one pass as one
    // piece; the first wide gap met hands the string to showPieces.
    bool wide = spacingGap > wideGap;
    const bool spacedDots = spacingGap > kSpacedDotEms * std::fabs(c.fontSize * c.scaling);
    bool afterDot = false; // the last glyph was one leader dot

    std::u16string text;
    // Most characters give one unit: one allocation instead of regrowing.
    text.reserve(bytes.size());
    double totalWidth = 0, totalHeight = 0;
    double gapRun = 0; // blanks and spacing since the last glyph with text
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t remaining = bytes.size();
    // The decoding of decodeChar, written out so the common path keeps its
    // values in registers.
    while (remaining > 0 && !wide) {
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
        QVPDF_MapSymbolPrivateUse(c.symbols, u, uLen);
        const bool blank =
            uLen == 1 && QVPDF_IsWhitespaceCharacter(static_cast<char16_t>(u[0] & 0xFFFF));
        if (blank)
            u[0] = 0x20;
        float w, h;
        if (!c.vertical) {
            w = static_cast<float>(static_cast<double>(dx) * c.fontSize + c.charSpacing);
            if (blank)
                w = static_cast<float>(static_cast<double>(w) + c.wordSpacing);
            w = static_cast<float>(static_cast<double>(w) * c.scaling);
            h = static_cast<float>(static_cast<double>(dy) * c.fontSize);
        } else {
            w = static_cast<float>(static_cast<double>(dx) * c.fontSize * c.scaling);
            h = static_cast<float>(static_cast<double>(dy) * c.fontSize + c.charSpacing +
                                   (blank ? c.wordSpacing : 0.0));
        }
        if (!blank && (uLen <= 1 || holdsText(u, uLen))) {
            gapRun = spacingGap;
        } else {
            gapRun += static_cast<double>(w) * direction;
            wide = gapRun > wideGap;
        }
        if (spacedDots) {
            const bool dot = uLen == 1 && isLeaderDot(u[0]);
            if (dot && afterDot)
                text.push_back(u' ');
            afterDot = dot;
        }
        appendUnits(text, u, uLen);
        s += n;
        remaining -= static_cast<size_t>(n);
        totalWidth += w;
        totalHeight += h;
    }
    double reportedAt = 0; // where the text matrix stands along the string
    if (wide) {
        const platform::Size total =
            showPieces(p, p.delegate_, c, bytes, direction, wideGap, reportedAt);
        totalWidth = total.width;
        totalHeight = total.height;
    } else {
        reportPiece(p, p.delegate_, text, 0, totalWidth, totalHeight, reportedAt, !bytes.empty());
    }
    // The glyphs take their room: the next string starts after them.
    if (QVPDFRenderState* after = p.currentRenderingState())
        after->translateTextPosition({totalWidth - reportedAt, totalHeight});
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

// Text in every mode is reported alike; the mode is kept so that the
// outputs that paint text can keep invisible text (mode 3, a scan's text
// layer) invisible. A mode outside 0 to 7 is ignored.
void O::Tr(PdfScanner& s, void* info) {
    long long mode;
    if (!s.popInteger(mode) || mode < 0 || mode > 7)
        return;
    if (QVPDFRenderState* st = parser(info).currentRenderingState())
        st->setTextRenderingMode(static_cast<int>(mode));
}
