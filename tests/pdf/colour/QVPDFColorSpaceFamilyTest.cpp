// The colour-space family: which class the factory makes of a definition, and
// the gray, RGB and CMYK each gives for colour values, malformed and hostile
// definitions included.
#include "pdf/QVPDFResourceCache.h"
#include "pdf/QVPDFTestObjects.h"
#include "pdf/colour/QVPDFColorSpace.h"
#include "pdf/colour/QVPDFColorSpaceCollection.h"
#include "pdf/colour/QVPDFDeviceNColorSpace.h"
#include "pdf/colour/QVPDFICCBasedColorSpace.h"
#include "pdf/colour/QVPDFIndexedColorSpace.h"
#include "pdf/colour/QVPDFSeparationColorSpace.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

void PrintTo(const QVPDFRGB& v, std::ostream* os) {
    *os << v.r << " " << v.g << " " << v.b;
}
void PrintTo(const QVPDFCMYK& v, std::ostream* os) {
    *os << v.c << " " << v.m << " " << v.y << " " << v.k;
}

namespace {

QVPDFColor color(std::initializer_list<int32_t> components) {
    QVPDFColor c;
    size_t i = 0;
    for (int32_t v : components)
        c.c[i++] = v;
    return c;
}

/// Colour-space definitions as PDF sources; `streams` are added first and
/// referred to as S0, S1, ... in the sources.
testobjects::Objects spaces(const std::vector<std::string>& sources,
                            const std::vector<std::pair<std::string, std::string>>& streams = {}) {
    auto builder = std::make_unique<fixtures::PdfBuilder>();
    std::vector<std::string> refs;
    for (const auto& [dict, data] : streams)
        refs.push_back(builder->addStream(dict, data));
    std::vector<std::string> resolved;
    for (std::string s : sources) {
        for (size_t i = refs.size(); i-- > 0;) {
            std::string tag = "S" + std::to_string(i);
            for (size_t at = s.find(tag); at != std::string::npos; at = s.find(tag, at))
                s.replace(at, tag.size(), refs[i]);
        }
        resolved.push_back(s);
    }
    return testobjects::make(*builder, resolved);
}

const std::string kUp = "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>";

} // namespace

TEST(QVPDFColorSpaceFamily, FactoryPicksTheClassTheDefinitionNames) {
    struct Row {
        std::string source;
        int mode; ///< -1: no colour space
    };
    const std::vector<Row> rows = {
        {"/DeviceGray", 1},
        {"/G", 1},
        {"/Cs1", 1},
        {"/DeviceRGB", 3},
        {"/RGB", 3},
        {"/Cs2", 3},
        {"/DeviceCMYK", 5},
        {"/CMYK", 5},
        {"/Pattern", 11},
        {"/CalRGB", -1}, // a family that needs parameters is no name alone
        {"/Indexed", -1},
        {"/Spot", -1},
        {"[/Cs1]", -1}, // only the array table counts inside an array
        {"[/G]", 1},
        {"[/CalGray << /WhitePoint [0.9505 1 1.089] >>]", 2},
        {"[/CalRGB << >>]", 4},
        {"[/Lab << /WhitePoint [0.9505 1 1.089] >>]", 6},
        {"[/ICCBased S0]", 7},
        {"[/Indexed /DeviceRGB 1 <FF000000FF00>]", 8},
        {"[/I /DeviceRGB 1 <FF000000FF00>]", 8},
        {"[/Separation /Spot /DeviceGray " + kUp + "]", 9},
        {"[/DeviceN [/A /B] /DeviceGray " + kUp + "]", 10},
        {"[/Pattern /DeviceRGB]", 11},
        {"[]", -1},
        {"[1 2]", -1},
        {"42", -1},
        {"<< /Type /ColorSpace >>", -1},
    };
    std::vector<std::string> sources;
    for (const Row& row : rows)
        sources.push_back(row.source);
    testobjects::Objects o = spaces(sources, {{"<< /N 3 >>", "profile"}});
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].source);
        auto space = QVPDFColorSpace::colorSpaceWithObject(o[i]);
        if (rows[i].mode < 0) {
            EXPECT_FALSE(space);
            continue;
        }
        ASSERT_TRUE(space);
        EXPECT_EQ(space->getMode(), rows[i].mode);
        EXPECT_EQ(space->getModeName(), QVPDFColorSpace::colorSpaceModeName(rows[i].mode));
    }
    EXPECT_EQ(QVPDFColorSpace::colorSpaceModeName(0), "Unknow");
    EXPECT_EQ(QVPDFColorSpace::colorSpaceModeName(10), "DeviceN");
    EXPECT_EQ(QVPDFColorSpace::getNumColorSpaceModes(), 12);
}

namespace {

struct ConversionRow {
    std::string label;
    std::string space;
    QVPDFColor color;
    QVPDFRGB rgb;
    std::optional<int> gray = std::nullopt;
    std::optional<QVPDFCMYK> cmyk = std::nullopt;
};

void checkConversions(const std::vector<ConversionRow>& rows,
                      const std::vector<std::pair<std::string, std::string>>& streams = {}) {
    std::vector<std::string> sources;
    for (const ConversionRow& row : rows)
        sources.push_back(row.space);
    testobjects::Objects o = spaces(sources, streams);
    for (size_t i = 0; i < rows.size(); ++i) {
        const ConversionRow& row = rows[i];
        SCOPED_TRACE(row.label + ": " + row.space);
        auto space = QVPDFColorSpace::colorSpaceWithObject(o[i]);
        ASSERT_TRUE(space);
        EXPECT_EQ(space->getRGB(row.color), row.rgb);
        if (row.gray) {
            EXPECT_EQ(space->getGray(row.color), *row.gray);
        }
        if (row.cmyk) {
            EXPECT_EQ(space->getCMYK(row.color), *row.cmyk);
        }
    }
}

} // namespace

TEST(QVPDFColorSpaceFamily, DeviceAndCalibratedConversions) {
    checkConversions({
        {"white paper", "/DeviceCMYK", color({0, 0, 0, 0}), {255, 255, 255}, 255, {{0, 0, 0, 0}}},
        {"black ink", "/DeviceCMYK", color({0, 0, 0, 255}), {35, 31, 32}, 0},
        {"cyan", "/DeviceCMYK", color({255, 0, 0, 0}), {0, 172, 239}, 179},
        {"all inks",
         "/DeviceCMYK",
         color({255, 255, 255, 255}),
         {0, 0, 0},
         0,
         {{255, 255, 255, 255}}},
        {"magenta", "/DeviceCMYK", color({0, 255, 0, 0}), {236, 0, 139}},
        {"blend inside the cube", "/DeviceCMYK", color({51, 102, 0, 25}), {184, 134, 189}, 155},
        {"half black", "/DeviceCMYK", color({0, 0, 0, 127}), {145, 143, 143}, 128},
        // The blend extrapolates inks beyond 0..1; only its result is clamped.
        {"inks beyond full",
         "/DeviceCMYK",
         color({300, -20, 0, 0}),
         {0, 166, 243},
         std::nullopt,
         {{255, 0, 0, 0}}},
        {"gray above 1", "/DeviceGray", color({306}), {255, 255, 255}, 255, {{0, 0, 0, 0}}},
        {"gray", "/DeviceGray", color({127}), {127, 127, 127}, 127, {{0, 0, 0, 128}}},
        {"negative red", "/DeviceRGB", color({-40, 128, 300}), {0, 128, 255}},
        {"red's gray level", "/DeviceRGB", color({255, 0, 0}), {255, 0, 0}, 77, {{0, 255, 255, 0}}},
        {"CalRGB weighs gray otherwise",
         "[/CalRGB << /Gamma [2.2 2.2 2.2] >>]",
         color({255, 0, 0}),
         {255, 0, 0},
         76,
         {{0, 255, 255, 0}}},
        {"CalRGB converts as device RGB",
         "[/CalRGB << /WhitePoint [0.9505 1 1.089] /Matrix [0.4124 0.2126 0.0193 0.3576 0.7152 "
         "0.1192 0.1805 0.0722 0.9505] >>]",
         color({10, 20, 30}),
         {10, 20, 30},
         18,
         {{20, 10, 0, 225}}},
        {"CalGray as device gray",
         "[/CalGray << /Gamma 2.2 >>]",
         color({200}),
         {200, 200, 200},
         200,
         {{0, 0, 0, 55}}},
        {"CalGray without a dictionary still converts", "[/CalGray]", color({-5}), {0, 0, 0}, 0},
    });
}

TEST(QVPDFColorSpaceFamily, LabConversions) {
    const std::string plain = "[/Lab << /WhitePoint [1 1 1] >>]";
    const std::string d50 = "[/Lab << /WhitePoint [0.9642 1 0.8249] >>]";
    const std::string d65 = "[/Lab << /WhitePoint [0.9505 1 1.089] >>]";
    checkConversions({
        {"L 100", plain, color({25500, 0, 0}), {255, 255, 255}, 255, {{0, 0, 0, 0}}},
        {"L 50", plain, color({12750, 0, 0}), {109, 109, 109}},
        {"L 0", plain, color({0, 0, 0}), {0, 0, 0}},
        {"white under D50", d50, color({25500, 0, 0}), {255, 255, 255}},
        {"a red-leaning colour", d50, color({12750, 12750, 0}), {178, 69, 111}},
        {"green and yellow",
         d65,
         color({15300, -5100, 7650}),
         {118, 144, 81},
         std::nullopt,
         {{26, 0, 63, 111}}},
        {"beyond white clamps", plain, color({40000, 0, 0}), {255, 255, 255}},
        {"no white point", "[/Lab << >>]", color({25500, 0, 0}), {255, 255, 255}},
    });
}

TEST(QVPDFColorSpaceFamily, DefaultColoursFollowTheRanges) {
    testobjects::Objects o =
        spaces({"[/Lab << /WhitePoint [1 1 1] /Range [-128 127 -128 127] >>]",
                "[/Lab << /WhitePoint [1 1 1] /Range [10 20 -20 -10] >>]",
                "[/Lab << /WhitePoint [1 1 1] /Range [10 20 -20] >>]", "[/ICCBased S0]",
                "[/ICCBased S1]", "/DeviceCMYK", "[/DeviceN [/A /B /C] /DeviceCMYK " + kUp + "]"},
               {{"<< /N 3 /Range [0.2 1 -1 -0.5 0 1] >>", "profile"},
                {"<< /N 3 /Range [0.2 1 -1 -0.5] >>", "profile"}});
    auto defaultOf = [&](size_t i) {
        return QVPDFColorSpace::colorSpaceWithObject(o[i])->getDefaultColor();
    };
    EXPECT_EQ(defaultOf(0), color({0, 0, 0}));
    EXPECT_EQ(defaultOf(1), color({0, 2550, -2550}));
    EXPECT_EQ(defaultOf(2), color({0, 0, 0})); // a range of 3 entries is ignored
    EXPECT_EQ(defaultOf(3), color({51, -127, 0}));
    EXPECT_EQ(defaultOf(4), color({0, 0, 0}));
    EXPECT_EQ(defaultOf(5), color({0, 0, 0, 255}));
    EXPECT_EQ(defaultOf(6), color({0, 0, 0}));
    EXPECT_EQ(QVPDFColorSpace::colorSpaceWithObject(o[6])->getNComps(), 3);
}

TEST(QVPDFColorSpaceFamily, ICCBasedConvertsThroughItsAlternate) {
    checkConversions(
        {
            {"N 3 without alternate is RGB",
             "[/ICCBased S0]",
             color({10, 20, 300}),
             {10, 20, 255},
             std::nullopt,
             {{245, 235, 0, 0}}},
            {"N 1 without alternate is gray", "[/ICCBased S1]", color({128}), {128, 128, 128}, 128},
            {"N 4 without alternate is CMYK",
             "[/ICCBased S2]",
             color({255, 0, 0, 0}),
             {0, 172, 239}},
            {"N 2 without alternate is black",
             "[/ICCBased S3]",
             color({255, 255}),
             {0, 0, 0},
             0,
             {{0, 0, 0, 0}}},
            {"the alternate wins over N", "[/ICCBased S4]", color({200, 0, 0}), {200, 200, 200}},
            {"an alternate that is no space falls back",
             "[/ICCBased S5]",
             color({1, 2, 3}),
             {1, 2, 3}},
            {"no stream", "[/ICCBased << /N 3 >>]", color({255, 255, 255}), {0, 0, 0}},
        },
        {{"<< /N 3 >>", "p"},
         {"<< /N 1 >>", "p"},
         {"<< /N 4 >>", "p"},
         {"<< /N 2 >>", "p"},
         {"<< /N 3 /Alternate /DeviceGray >>", "p"},
         {"<< /N 3 /Alternate /Spot >>", "p"}});

    testobjects::Objects o =
        spaces({"[/ICCBased S0]", "[/ICCBased S1]"},
               {{"<< /N 40 /Alternate /DeviceRGB >>", "p"}, {"<< /N -3 >>", "p"}});
    auto wide = QVPDFColorSpace::colorSpaceWithObject(o[0]);
    EXPECT_EQ(wide->getNComps(), 32);
    auto icc = std::dynamic_pointer_cast<const QVPDFICCBasedColorSpace>(wide);
    ASSERT_TRUE(icc && icc->iccProfileStream());
    EXPECT_TRUE(icc->iccProfileStream()->isStream());
    EXPECT_EQ(QVPDFColorSpace::colorSpaceWithObject(o[1])->getNComps(), 0);
}

TEST(QVPDFColorSpaceFamily, IndexedMapsThroughItsTable) {
    const std::string redGreen = "[/Indexed /DeviceRGB 1 <FF000000FF00>]";
    checkConversions(
        {
            {"index 1", redGreen, color({255}), {0, 255, 0}, 150, {{255, 0, 255, 0}}},
            {"index 0", redGreen, color({0}), {255, 0, 0}},
            {"rounded to the nearest index", redGreen, color({130}), {0, 255, 0}},
            {"beyond hival clamps to it", redGreen, color({5 * 255}), {0, 255, 0}},
            {"below 0 clamps to 0", redGreen, color({-900}), {255, 0, 0}},
            {"short table padded with zeros",
             "[/Indexed /DeviceRGB 2 <FFFFFF10>]",
             color({255}),
             {16, 0, 0}},
            {"entry past a short table is black",
             "[/Indexed /DeviceRGB 2 <FFFFFF10>]",
             color({510}),
             {0, 0, 0}},
            {"the table as a stream", "[/Indexed /DeviceGray 2 S0]", color({510}), {200, 200, 200}},
            {"over CMYK", "[/Indexed /DeviceCMYK 0 <FF000000>]", color({0}), {0, 172, 239}},
            {"over an abbreviated name",
             "[/Indexed /CMYK 0 <00000000>]",
             color({0}),
             {255, 255, 255}},
            {"bytes span the Lab ranges",
             "[/Indexed [/Lab << /WhitePoint [1 1 1] >>] 0 <FF8080>]",
             color({0}),
             {255, 254, 254}},
            // Definitions whose parse fails convert to black.
            {"hival 256", "[/Indexed /DeviceRGB 256 <FFFFFF>]", color({0}), {0, 0, 0}},
            {"abbreviated family name", "[/I /DeviceRGB 1 <FF000000FF00>]", color({0}), {0, 0, 0}},
            {"no base", "[/Indexed /Spot 1 <FF000000FF00>]", color({0}), {0, 0, 0}},
            {"a number as table", "[/Indexed /DeviceRGB 0 7]", color({0}), {0, 0, 0}},
            {"five entries", "[/Indexed /DeviceRGB 0 <FFFFFF> 1]", color({0}), {0, 0, 0}},
        },
        {{"<< >>", std::string("\x00\x64\xC8", 3)}});
}

TEST(QVPDFColorSpaceFamily, SpotColoursRunTheirTintTransforms) {
    const std::string toCMYK = "<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 0.5 1 0] "
                               "/N 1 >>";
    checkConversions(
        {
            {"full tint to gray",
             "[/Separation /Spot /DeviceGray " + kUp + "]",
             color({255}),
             {255, 255, 255},
             255},
            {"type 2 to CMYK",
             "[/Separation /Orange /DeviceCMYK " + toCMYK + "]",
             color({255}),
             {246, 135, 17},
             std::nullopt,
             {{0, 127, 255, 0}}},
            {"no tint is paper",
             "[/Separation /Orange /DeviceCMYK " + toCMYK + "]",
             color({0}),
             {255, 255, 255}},
            {"type 4 to RGB", "[/Separation /Spot /DeviceRGB S0]", color({255}), {255, 127, 0}},
            {"type 4, half tint", "[/Separation /Spot /DeviceRGB S0]", color({51}), {51, 25, 0}},
            {"type 0 to gray", "[/Separation /Spot /DeviceGray S1]", color({255}), {0, 0, 0}},
            {"a stitched tint",
             "[/Separation /Spot /DeviceGray S2]",
             color({191}),
             {127, 127, 127}},
            {"the colorant None",
             "[/Separation /None /DeviceGray " + kUp + "]",
             color({255}),
             {255, 255, 255}},
            {"DeviceN to CMYK",
             "[/DeviceN [/Cyan /Spot] /DeviceCMYK S3]",
             color({255, 255}),
             {46, 49, 145}},
            {"DeviceN with attributes",
             "[/DeviceN [/Cyan /Spot] /DeviceCMYK S3 << >>]",
             color({0, 255}),
             {236, 0, 139}},
            {"DeviceN through an ICC alternate",
             "[/DeviceN [/A] [/ICCBased S4] " + kUp + "]",
             color({255}),
             {255, 255, 255}},
            // A tint transform that fails its parse gives outputs 0.
            {"malformed calculator",
             "[/Separation /Spot /DeviceCMYK S5]",
             color({255}),
             {255, 255, 255}},
            // Definitions whose parse fails before the alternate convert to black.
            {"no alternate", "[/Separation /Spot /Other " + kUp + "]", color({255}), {0, 0, 0}, 0},
            {"colorant not a name",
             "[/Separation (Spot) /DeviceGray " + kUp + "]",
             color({255}),
             {0, 0, 0}},
            {"names not an array",
             "[/DeviceN /A /DeviceGray " + kUp + "]",
             color({255}),
             {0, 0, 0}},
        },
        {{"<< /FunctionType 4 /Domain [0 1] /Range [0 1 0 1 0 1] >>", "{dup 0.5 mul 0}"},
         {"<< /FunctionType 0 /Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8 >>",
          std::string("\xFF\x00", 2)},
         {"<< /FunctionType 3 /Domain [0 1] /Functions [" + kUp + " " + kUp +
              "] /Bounds [0.5] /Encode [0 1 0 1] >>",
          ""},
         {"<< /FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1 0 1] >>", "{0 0}"},
         {"<< /N 1 >>", "p"},
         {"<< /FunctionType 4 /Domain [0 1] /Range [0 1 0 1 0 1 0 1] >>", "{dup dup dup"}});
}

TEST(QVPDFColorSpaceFamily, DeviceNCountsItsColorants) {
    std::string many = "[";
    for (int i = 0; i < 40; ++i)
        many += "/C" + std::to_string(i) + " ";
    many += "]";
    testobjects::Objects o = spaces({"[/DeviceN " + many + " /DeviceGray " + kUp + "]",
                                     "[/DeviceN [/None /None] /DeviceGray " + kUp + "]",
                                     "[/DeviceN [/None /A] /DeviceGray " + kUp + "]"});
    auto wide = std::dynamic_pointer_cast<const QVPDFDeviceNColorSpace>(
        QVPDFColorSpace::colorSpaceWithObject(o[0]));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->getNComps(), 32);
    EXPECT_EQ(wide->getRGB(color({255})), (QVPDFRGB{255, 255, 255}));
    auto none = std::dynamic_pointer_cast<const QVPDFDeviceNColorSpace>(
        QVPDFColorSpace::colorSpaceWithObject(o[1]));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->nonMarking());
    auto some = std::dynamic_pointer_cast<const QVPDFDeviceNColorSpace>(
        QVPDFColorSpace::colorSpaceWithObject(o[2]));
    ASSERT_TRUE(some);
    EXPECT_FALSE(some->nonMarking());
}

TEST(QVPDFColorSpaceFamily, DefinitionsThatContainThemselvesStop) {
    fixtures::PdfBuilder builder;
    std::string indexed = builder.reserveObject();
    builder.setObject(indexed, "[/Indexed " + indexed + " 1 <FF000000FF00>]");
    // Separation -> ICC alternate -> Separation.
    std::string separation = builder.reserveObject();
    std::string profile = builder.addStream("<< /N 1 /Alternate " + separation + " >>", "p");
    builder.setObject(separation, "[/Separation /Spot [/ICCBased " + profile + "] " + kUp + "]");
    // DeviceN whose alternate is an Indexed space over the DeviceN.
    std::string deviceN = builder.reserveObject();
    builder.setObject(deviceN, "[/DeviceN [/A] [/Indexed " + deviceN + " 0 <00>] " + kUp + "]");
    // A long chain of direct definitions.
    std::string deep = "/DeviceRGB";
    for (int i = 0; i < 40; ++i)
        deep = "[/Indexed " + deep + " 0 <FFFFFF>]";
    testobjects::Objects o = testobjects::make(builder, {indexed, separation, deviceN, deep});

    auto self = QVPDFColorSpace::colorSpaceWithObject(o[0]);
    ASSERT_TRUE(self);
    EXPECT_EQ(self->getRGB(color({255})), (QVPDFRGB{0, 0, 0}));

    // The ICC alternate refers back: the ICC space falls back to gray by N.
    auto loop = QVPDFColorSpace::colorSpaceWithObject(o[1]);
    ASSERT_TRUE(loop);
    EXPECT_EQ(loop->getRGB(color({255})), (QVPDFRGB{255, 255, 255}));

    auto throughIndexed = QVPDFColorSpace::colorSpaceWithObject(o[2]);
    ASSERT_TRUE(throughIndexed);
    EXPECT_EQ(throughIndexed->getRGB(color({255})), (QVPDFRGB{0, 0, 0}));

    auto chain = QVPDFColorSpace::colorSpaceWithObject(o[3]);
    ASSERT_TRUE(chain);
    EXPECT_EQ(chain->getRGB(color({0})), (QVPDFRGB{0, 0, 0})); // cut at the depth limit
}

TEST(QVPDFColorSpaceFamily, CollectionSharesIndirectDefinitionsThroughTheCache) {
    fixtures::PdfBuilder builder;
    std::string spot = builder.addObject("[/Separation /Spot /DeviceCMYK " + kUp + "]");
    std::string tint = builder.addObject(kUp);
    testobjects::Objects o = testobjects::make(builder, {"<< /CS0 " + spot + " /CS1 " + spot +
                                                             " /CS2 /DeviceRGB /Bad 7 /CS3 "
                                                             "[/Separation /Other /DeviceGray " +
                                                             tint +
                                                             "] /CS4 [/Separation /More "
                                                             "/DeviceGray " +
                                                             tint + "] >>",
                                                         "<< /CS9 " + spot + " >>"});
    QVPDFResourceCache cache;
    QVPDFColorSpaceCollection page(o[0], cache);
    EXPECT_EQ(page.colorSpaces().size(), 5u); // /Bad skipped
    EXPECT_EQ(page.colorSpaceNamed("CS0"), page.colorSpaceNamed("CS1"));
    EXPECT_FALSE(page.colorSpaceNamed("Bad"));
    EXPECT_EQ(page.colorSpaceNamed("CS2")->getMode(), 3);
    // Direct arrays are parsed per entry, but share their indirect tint transform.
    auto a =
        std::dynamic_pointer_cast<const QVPDFSeparationColorSpace>(page.colorSpaceNamed("CS3"));
    auto b =
        std::dynamic_pointer_cast<const QVPDFSeparationColorSpace>(page.colorSpaceNamed("CS4"));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->func(), b->func());
    // Another page of the same document gets the same object.
    QVPDFColorSpaceCollection form(o[1], cache);
    EXPECT_EQ(form.colorSpaceNamed("CS9"), page.colorSpaceNamed("CS0"));
    EXPECT_TRUE(QVPDFColorSpaceCollection(std::nullopt).colorSpaces().empty());
}
