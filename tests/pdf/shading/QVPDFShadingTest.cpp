// Shadings and patterns: the kinds made from /ShadingType, what an axial
// shading reads, and the per-page collection of /Shading resources.
#include "pdf/QVPDFResourceCache.h"
#include "pdf/QVPDFTestObjects.h"
#include "pdf/shading/QVPDFShadingAxial.h"
#include "pdf/shading/QVPDFShadingPatternCollection.h"
#include "pdf/shading/QVPDFShadingRadial.h"
#include "pdf/shading/QVPDFTilingPattern.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<const QVPDFShadingAxial> axial(const platform::PdfObject& dictionary) {
    return std::dynamic_pointer_cast<const QVPDFShadingAxial>(
        QVPDFShading::ShadingWithDictionary(dictionary));
}

} // namespace

TEST(QVPDFShading, KindsByShadingType) {
    fixtures::PdfBuilder builder;
    std::vector<std::string> sources;
    for (const char* type : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "2.5", "/Axial"})
        sources.push_back(std::string("<< /ShadingType ") + type + " >>");
    sources.push_back("<< >>");
    testobjects::Objects o = testobjects::make(builder, sources);
    const int expected[] = {-1, 1, 2, 3, 4, 5, 6, 7, -1, -1, -1, -1};
    for (size_t i = 0; i < sources.size(); ++i) {
        SCOPED_TRACE(sources[i]);
        auto shading = QVPDFShading::ShadingWithDictionary(o[i]);
        if (expected[i] < 0) {
            EXPECT_FALSE(shading);
            continue;
        }
        ASSERT_TRUE(shading);
        EXPECT_EQ(shading->shadingType(), expected[i]);
    }
    EXPECT_TRUE(std::dynamic_pointer_cast<const QVPDFShadingRadial>(
        QVPDFShading::ShadingWithDictionary(o[3])));
}

TEST(QVPDFShading, AxialReadsItsAxisDomainExtendFunctionAndSpace) {
    fixtures::PdfBuilder builder;
    std::string profile = builder.addStream("<< /N 4 >>", "p");
    testobjects::Objects o = testobjects::make(
        builder,
        {"<< /ShadingType 2 /ColorSpace [/ICCBased " + profile +
             "] /Coords [10 20 30.5 40] /Domain [0.2 0.8] /Extend [true false] /Function << "
             "/FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [1 0 0 0] /N 1 >> >>",
         "<< /ShadingType 2 /ColorSpace /DeviceCMYK >>",
         "<< /ShadingType 2 /Coords [1 2 3] /Domain [5] /Extend [true] /Function [<< "
         "/FunctionType 2 /Domain [0 1] /N 1 >>] >>",
         "<< /ShadingType 2 /Coords [1 /x 3 4] /Domain [/a 0.5] /Extend [1 true] >>"});

    auto full = axial(o[0]);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->coordsStart(), (platform::Point{10, 20}));
    EXPECT_EQ(full->coordsEnd(), (platform::Point{30.5, 40}));
    EXPECT_EQ(full->domainRange(), (platform::Point{0.2, 0.8}));
    EXPECT_TRUE(full->extendStart());
    EXPECT_FALSE(full->extendEnd());
    ASSERT_TRUE(full->pdfFuntion());
    EXPECT_EQ(full->pdfFuntion()->getType(), 2);
    EXPECT_EQ(full->colorSpace()->getMode(), QVPDFColorSpace::kICCBased);
    EXPECT_EQ(full->colorSpace()->getNComps(), 4);

    // Only array definitions are read as the colour space; the rest is device RGB.
    auto named = axial(o[1]);
    ASSERT_TRUE(named);
    EXPECT_EQ(named->colorSpace()->getMode(), QVPDFColorSpace::kDeviceRGB);
    EXPECT_FALSE(named->pdfFuntion());
    EXPECT_EQ(named->coordsStart(), (platform::Point{0, 0}));
    EXPECT_EQ(named->coordsEnd(), (platform::Point{100, 100}));
    EXPECT_EQ(named->domainRange(), (platform::Point{0, 1}));

    // Arrays of another size keep the defaults; an array of functions gives none.
    auto wrongSizes = axial(o[2]);
    ASSERT_TRUE(wrongSizes);
    EXPECT_EQ(wrongSizes->coordsEnd(), (platform::Point{100, 100}));
    EXPECT_EQ(wrongSizes->domainRange(), (platform::Point{0, 1}));
    EXPECT_FALSE(wrongSizes->extendStart());
    EXPECT_FALSE(wrongSizes->pdfFuntion());

    // Entries of the wrong type keep their own defaults, the others are read.
    auto mixed = axial(o[3]);
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->coordsStart(), (platform::Point{1, 0}));
    EXPECT_EQ(mixed->coordsEnd(), (platform::Point{3, 4}));
    EXPECT_EQ(mixed->domainRange(), (platform::Point{0, 0.5}));
    EXPECT_FALSE(mixed->extendStart());
    EXPECT_TRUE(mixed->extendEnd());
}

TEST(QVPDFShading, CollectionHoldsTheDictionaryEntriesByName) {
    fixtures::PdfBuilder builder;
    std::string mesh = builder.addStream("<< /ShadingType 4 /ColorSpace /DeviceRGB "
                                         "/BitsPerCoordinate 8 /BitsPerComponent 8 "
                                         "/BitsPerFlag 8 /Decode [0 1 0 1 0 1 0 1 0 1] >>",
                                         "");
    std::string shared = builder.addObject("<< /ShadingType 3 /Coords [0 0 0 0 0 10] >>");
    testobjects::Objects o = testobjects::make(
        builder, {"<< /Sh1 << /ShadingType 2 /Coords [0 0 1 1] >> /Sh2 " + mesh + " /Sh3 " +
                      shared + " /Sh4 " + shared + " /Sh5 << /ShadingType 9 >> /Sh6 7 >>",
                  "<< /Other " + shared + " >>"});
    QVPDFResourceCache cache;
    QVPDFShadingPatternCollection page(o[0], cache);
    // Streams (mesh shadings) and non-dictionaries are left out.
    EXPECT_EQ(page.collectObjects().size(), 4u);
    EXPECT_FALSE(page.objectNamed("Sh2"));
    EXPECT_FALSE(page.objectNamed("Sh6"));
    auto sh1 = page.objectNamed("Sh1");
    ASSERT_TRUE(sh1);
    EXPECT_EQ(sh1->objectKey(), "Sh1");
    ASSERT_TRUE(sh1->shading());
    EXPECT_EQ(sh1->shading()->shadingType(), 2);
    // A dictionary of an unknown type makes a pattern without a shading.
    ASSERT_TRUE(page.objectNamed("Sh5"));
    EXPECT_FALSE(page.objectNamed("Sh5")->shading());
    // One indirect shading, parsed once for the document.
    EXPECT_EQ(page.objectNamed("Sh3")->shading(), page.objectNamed("Sh4")->shading());
    QVPDFShadingPatternCollection form(o[1], cache);
    EXPECT_EQ(form.objectNamed("Other")->shading(), page.objectNamed("Sh3")->shading());
    EXPECT_EQ(form.objectNamed("Other")->objectKey(), "Other");

    EXPECT_TRUE(QVPDFShadingPatternCollection(std::nullopt).collectObjects().empty());
    QVPDFShadingPatternCollection merged(o[1]);
    merged.addFromDictionary(page.collectObjects());
    EXPECT_EQ(merged.collectObjects().size(), 5u);
}

TEST(QVPDFShading, PatternsKeepTheirResourceName) {
    QVPDFTilingPattern tiling(platform::PdfObject::makeNull(), "P0");
    EXPECT_EQ(tiling.objectKey(), "P0");
    const QVPDFPattern& asPattern = tiling;
    EXPECT_EQ(asPattern.objectKey(), "P0");
}
