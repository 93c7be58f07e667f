// The graphics state value, the state stack, device colour spaces and
// serialised paths.
#include "pdf/QVPDFCGPathUtilities.h"
#include "pdf/colour/QVPDFColorSpace.h"
#include "pdf/colour/QVPDFDeviceCMYKColorSpace.h"
#include "pdf/colour/QVPDFDeviceGrayColorSpace.h"
#include "pdf/colour/QVPDFDeviceRGBColorSpace.h"
#include "pdf/content/QVPDFTextCharacters.h"
#include "pdf/content/RenderingStateStack.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <vector>

using platform::AffineTransform;
using platform::PdfObject;

namespace {
QVPDFColor color(std::initializer_list<int32_t> c) {
    QVPDFColor out;
    size_t i = 0;
    for (int32_t v : c)
        out.c[i++] = v;
    return out;
}
} // namespace

TEST(QVPDFRenderState, NewStateValues) {
    QVPDFRenderState st;
    EXPECT_TRUE(st.ctm().isIdentity());
    EXPECT_EQ(st.horizontalScaling(), 1.0);
    EXPECT_EQ(st.lineWidth(), 1.0);
    EXPECT_EQ(st.lineMiterLimit(), 10.0);
    EXPECT_EQ(st.lineFlatness(), 0.6000000238418579);
    EXPECT_FALSE(st.lineDashPattern());
    EXPECT_TRUE(st.alphaFlag());
    EXPECT_EQ(st.currentFillAlpha(), 1.0);
    EXPECT_FALSE(st.font());
    ASSERT_TRUE(st.fillColorSpace());
    // Both spaces start as device gray and both colours black: one operand of
    // sc or SC sets a colour before any space is named.
    EXPECT_EQ(st.fillColorSpace()->getMode(), QVPDFColorSpace::kDeviceGray);
    ASSERT_TRUE(st.strokeColorSpace());
    EXPECT_EQ(st.strokeColorSpace()->getMode(), QVPDFColorSpace::kDeviceGray);
    EXPECT_EQ(st.currentFillRGBColor(), (QVPDFRGB{0, 0, 0}));
    EXPECT_EQ(st.currentStrokeRGBColor(), (QVPDFRGB{0, 0, 0}));
    EXPECT_TRUE(st.cgPath().isEmpty());
    EXPECT_TRUE(st.clipBezierPaths().empty());
}

TEST(QVPDFRenderState, CopyIsIsolatedFromTheOriginal) {
    RenderingStateStack stack;
    QVPDFRenderState& base = *stack.topRenderingState();
    base.mutableCgPath().moveTo({1, 2});
    platform::Path square;
    square.addRect({{0, 0}, {5, 5}});
    base.clipState(square, QVPDFRenderState::kClipNonZero);
    base.setAlphaFlag(false);

    stack.saveRenderingState(std::make_unique<QVPDFRenderState>(base));
    QVPDFRenderState& copy = *stack.topRenderingState();
    EXPECT_FALSE(copy.alphaFlag()); // every field is carried over
    EXPECT_EQ(copy.cgPath(), base.cgPath());
    copy.mutableCgPath().lineTo({3, 4});
    copy.clipState(square, QVPDFRenderState::kClipEvenOdd);
    copy.setLineWidth(7);

    auto popped = stack.restoreRenderingState();
    const QVPDFRenderState& below = *stack.topRenderingState();
    EXPECT_EQ(below.cgPath().elements().size(), 1u);
    ASSERT_EQ(below.clipBezierPaths().size(), 1u);
    EXPECT_FALSE(below.clipBezierPaths()[0].evenOdd);
    EXPECT_EQ(below.lineWidth(), 1.0);
    ASSERT_EQ(popped->clipBezierPaths().size(), 2u);
    EXPECT_TRUE(popped->clipBezierPaths()[1].evenOdd);
}

TEST(QVPDFRenderState, TextLineMovement) {
    QVPDFRenderState st;
    st.setLeading(12);
    st.newLine();
    EXPECT_EQ(st.lineMatrix(), AffineTransform::makeTranslation(0, -12));
    EXPECT_EQ(st.textMatrix(), st.lineMatrix());
    st.newLineWithLeading(-14, 3, true);
    EXPECT_EQ(st.leading(), 14);
    EXPECT_EQ(st.lineMatrix(), AffineTransform::makeTranslation(3, -26));
    // Translation acts in text space: a scaled text matrix scales the move.
    st.setTextMatrix({2, 0, 0, 2, 10, 10}, false);
    st.translateTextPosition({5, 1});
    EXPECT_EQ(st.textMatrix(), (AffineTransform{2, 0, 0, 2, 20, 12}));
    EXPECT_EQ(st.lineMatrix(), AffineTransform::makeTranslation(3, -26));
}

TEST(QVPDFRenderState, EmptyClipPathAddsNothing) {
    QVPDFRenderState st;
    st.clipState(platform::Path(), QVPDFRenderState::kClipNonZero);
    EXPECT_TRUE(st.clipBezierPaths().empty());
}

TEST(RenderingStateStack, RestoreOnEmptyStackGivesNone) {
    RenderingStateStack stack;
    EXPECT_TRUE(stack.restoreRenderingState());
    EXPECT_EQ(stack.topRenderingState(), nullptr);
    EXPECT_FALSE(stack.restoreRenderingState());
    stack.reset();
    EXPECT_EQ(stack.depth(), 1u);
}

TEST(QVPDFColorSpace, FactoryPicksDeviceSpacesByName) {
    struct Case {
        PdfObject object;
        int mode; // -1: none
    };
    const Case cases[] = {
        {PdfObject::makeName("DeviceGray"), QVPDFColorSpace::kDeviceGray},
        {PdfObject::makeName("G"), QVPDFColorSpace::kDeviceGray},
        {PdfObject::makeName("Cs1"), QVPDFColorSpace::kDeviceGray},
        {PdfObject::makeName("Cs2"), QVPDFColorSpace::kDeviceRGB},
        {PdfObject::makeName("RGB"), QVPDFColorSpace::kDeviceRGB},
        {PdfObject::makeName("DeviceCMYK"), QVPDFColorSpace::kDeviceCMYK},
        {PdfObject::makeName("Pattern"), QVPDFColorSpace::kPattern},
        {PdfObject::makeName("Cs3"), -1},
        {PdfObject::makeString("DeviceRGB"), -1},
        {PdfObject::makeInteger(3), -1},
    };
    for (const Case& c : cases) {
        auto space = QVPDFColorSpace::colorSpaceWithObject(c.object);
        if (c.mode < 0) {
            EXPECT_FALSE(space);
        } else {
            ASSERT_TRUE(space);
            EXPECT_EQ(space->getMode(), c.mode);
        }
    }
    EXPECT_EQ(QVPDFColorSpace::colorSpaceModeName(0), "Unknow");
    EXPECT_EQ(QVPDFColorSpace::colorSpaceModeName(11), "Pattern");
    EXPECT_EQ(QVPDFColorSpace::colorSpaceModeName(12), "");
}

TEST(QVPDFColorSpace, DeviceConversions) {
    const auto& gray = *QVPDFDeviceGrayColorSpace::shared();
    const auto& rgb = *QVPDFDeviceRGBColorSpace::shared();
    const auto& cmyk = *QVPDFDeviceCMYKColorSpace::shared();
    EXPECT_EQ(gray.getRGB(color({306})), (QVPDFRGB{255, 255, 255}));
    EXPECT_EQ(gray.getRGB(color({INT_MIN})), (QVPDFRGB{0, 0, 0}));
    EXPECT_EQ(gray.getCMYK(color({INT_MIN})), (QVPDFCMYK{0, 0, 0, 255}));
    EXPECT_EQ(rgb.getRGB(color({306, -5, 7})), (QVPDFRGB{255, 0, 7}));
    EXPECT_EQ(rgb.getGray(color({255, 0, 0})), 77);
    EXPECT_EQ(rgb.getGray(color({INT_MAX, INT_MAX, INT_MAX})), 255);
    EXPECT_EQ(rgb.getCMYK(color({255, 0, 0})), (QVPDFCMYK{0, 255, 255, 0}));
    EXPECT_EQ(cmyk.getRGB(color({0, 0, 0, 0})), (QVPDFRGB{255, 255, 255}));
    EXPECT_EQ(cmyk.getRGB(color({255, 0, 0, 0})), (QVPDFRGB{0, 172, 239}));
    EXPECT_EQ(cmyk.getRGB(color({255, 255, 255, 255})), (QVPDFRGB{0, 0, 0}));
    EXPECT_EQ(cmyk.getRGB(cmyk.getDefaultColor()), (QVPDFRGB{35, 31, 32}));
    EXPECT_EQ(cmyk.getCMYK(color({-1, 300, 5, 6})), (QVPDFCMYK{0, 255, 5, 6}));
}

TEST(QVPDFCGPathUtilities, RoundTripAndBadTypes) {
    platform::Path path;
    path.moveTo({1, 2});
    path.lineTo({3, 4});
    path.quadCurveTo({5, 6}, {7, 8});
    path.curveTo({9, 10}, {11, 12}, {13, 14});
    path.closeSubpath();
    auto serialized = QVPDFCGPathUtilities::NSArrayWithCGPath(path);
    ASSERT_TRUE(serialized);
    EXPECT_TRUE(serialized->complete);
    ASSERT_EQ(serialized->elements.size(), 5u);
    EXPECT_EQ(serialized->elements[2].points.size(), 2u);
    EXPECT_TRUE(serialized->elements[4].points.empty());
    auto back = QVPDFCGPathUtilities::CGPathWithNSArray(*serialized);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->elements(), path.elements());

    QVPDFSerializedPath bad = *serialized;
    bad.complete = false; // not looked at
    EXPECT_TRUE(QVPDFCGPathUtilities::CGPathWithNSArray(bad));
    bad.elements[1].type = 7;
    EXPECT_FALSE(QVPDFCGPathUtilities::CGPathWithNSArray(bad));
    QVPDFSerializedPath shortPoints = *serialized;
    shortPoints.elements[3].points.resize(2);
    EXPECT_FALSE(QVPDFCGPathUtilities::CGPathWithNSArray(shortPoints));
}

TEST(QVPDFTextCharacters, Helpers) {
    char buf[8];
    EXPECT_EQ(QVPDF_UTF8FromCodePoint(0x41, buf, 8), 1u);
    EXPECT_EQ(QVPDF_UTF8FromCodePoint(0x7FF, buf, 8), 2u);
    EXPECT_EQ(QVPDF_UTF8FromCodePoint(0x20AC, buf, 8), 3u);
    EXPECT_EQ(std::string(buf, 3), "\xE2\x82\xAC");
    EXPECT_EQ(QVPDF_UTF8FromCodePoint(0x1F600, buf, 8), 4u);
    EXPECT_EQ(QVPDF_UTF8FromCodePoint(0x110000, buf, 8), 0u);
    EXPECT_EQ(QVPDF_UTF8FromCodePoint(0x20AC, buf, 2), 0u);
    for (char16_t c : {u'\t', u' ', u'\u00A0', u'\u2004', u'\u2009', u'\u3000', u'\u2029'})
        EXPECT_TRUE(QVPDF_IsWhitespaceCharacter(c)) << int(c);
    for (char16_t c : {u'A', u'\u2005', u'\u2008', u'\u200B'})
        EXPECT_FALSE(QVPDF_IsWhitespaceCharacter(c)) << int(c);
    uint32_t u[4] = {0x2D, 0xAD, 0x2010, 0};
    int n = 3;
    QVPDF_FixUnicodeSequence(u, &n);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(u[0], 0x2010u);
    uint32_t v[4] = {0x2D, 0xAD, 0x2010, 0x41};
    n = 4;
    QVPDF_FixUnicodeSequence(v, &n);
    EXPECT_EQ(n, 4);
}

TEST(QVPDFTextCharacters, SymbolFontsPrivateUseCharactersBecomeTheirSigns) {
    using S = QVPDF_SymbolSet;
    const struct {
        std::optional<std::string> font;
        S set;
    } fonts[] = {
        {"Wingdings", S::Wingdings},     {"Wingdings-Regular", S::Wingdings},
        {"wingdings,Bold", S::Wingdings}, {"Wingdings2", S::None},
        {"Wingdings3", S::None},          {"Symbol", S::Symbol},
        {"SymbolMT", S::Symbol},          {"Symbol,Italic", S::Symbol},
        {"SymbolPS", S::None},            {"Arial", S::None},
        {std::nullopt, S::None},
    };
    for (const auto& f : fonts)
        EXPECT_EQ(QVPDF_SymbolSetOfFont(f.font), f.set) << f.font.value_or("(none)");

    const struct {
        S set;
        std::vector<uint32_t> units;
        std::vector<uint32_t> reads;
    } cases[] = {
        {S::Wingdings, {0xF0FC}, {0x2713}},         // check mark
        {S::Wingdings, {0xF06C}, {0x25CF}},         // black circle
        {S::Wingdings, {0xF0A7}, {0x25AA}},         // small black square
        {S::Wingdings, {0xF0D8}, {0x27A2}},         // arrowhead
        {S::Wingdings, {0xF020}, {0x20}},           // its blank
        {S::Wingdings, {0xF027}, {0xF027}},         // the candle: no sign
        {S::Wingdings, {0xF0FC, 0x41}, {0xF0FC, 0x41}}, // not one character
        {S::Symbol, {0xF0B7}, {0x2022}},            // bullet
        {S::Symbol, {0xF061}, {0x03B1}},            // alpha
        {S::Symbol, {0xF0A3}, {0x2264}},            // less or equal
        {S::Symbol, {0xF0E6}, {0xF0E6}},            // a bracket piece: no sign
        {S::Symbol, {0xE0FC}, {0xE0FC}},            // outside the range
        {S::None, {0xF0FC}, {0xF0FC}},
    };
    for (const auto& c : cases) {
        std::vector<uint32_t> u = c.units;
        QVPDF_MapSymbolPrivateUse(c.set, u.data(), int(u.size()));
        EXPECT_EQ(u, c.reads) << std::hex << c.units.front();
    }
}
