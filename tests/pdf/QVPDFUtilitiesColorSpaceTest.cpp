// Image colour spaces built from their PDF definitions, and decode arrays.
#include "pdf/ImageTestSupport.h"

#include "pdf/QVPDFUtilities.h"

#include <gtest/gtest.h>

using platform::ImageColorSpace;
using Kind = ImageColorSpace::Kind;
using Model = ImageColorSpace::Model;
using namespace imagetest;

namespace {

/// Colour-space objects of one page's /ColorSpace resources, by name.
struct Spaces {
    std::unique_ptr<platform::PdfDocument> doc;
    platform::PdfObject dict;
    platform::PdfObject operator[](const std::string& name) const { return dict.get(name); }
};

Spaces makeSpaces(const std::function<std::string(fixtures::PdfBuilder&)>& entries) {
    fixtures::PdfBuilder b;
    fixtures::PageSpec page;
    page.resources = "<< /ColorSpace << " + entries(b) + " >> >>";
    b.addPage(page);
    Spaces s;
    s.doc = platform::PdfDocument::openFromMemory(b.build(), "spaces");
    s.dict = *s.doc->page(1)->dictionary().getDictionary("Resources")->getDictionary("ColorSpace");
    return s;
}

std::array<uint8_t, 3> rgbOf(const ImageColorSpace& space, std::vector<double> c) {
    std::array<uint8_t, 3> rgb{};
    space.toRGB(c.data(), rgb.data());
    return rgb;
}

TEST(QVPDFUtilitiesColorSpace, FamiliesAndTheirParameters) {
    Spaces s = makeSpaces([](fixtures::PdfBuilder& b) {
        std::string icc4 = b.addStream("<< /N 4 >>", "profile");
        std::string icc2 = b.addStream("<< /N 2 >>", "profile");
        std::string iccLab =
            b.addStream("<< /N 3 /Alternate [/Lab << /WhitePoint [1 1 1] >>] >>", "");
        std::string iccNoN =
            b.addStream("<< >>", std::string(16, ' ') + "GRAY" + std::string(108, ' '));
        std::string table;
        for (int i = 0; i < 256; ++i)
            table += {char(i), char(i), char(i)};
        std::string lookup = b.addStream("<< >>", table);
        return "/Icc4 [/ICCBased " + icc4 + "] /Icc2 [/ICCBased " + icc2 + "] /IccLab [/ICCBased " +
               iccLab + "] /IccNoN [/ICCBased " + iccNoN + "] /Idx [/Indexed /DeviceRGB 255 " +
               lookup +
               "] /Gray2 [/I /DeviceGray 1 <00FF>] /CalRGB [/CalRGB << >>] "
               "/CalRGB2 [/CalRGB << /WhitePoint [0.95 1 1.09] /Gamma [2.2 2.2 2.2] "
               "/Matrix [1 0 0 0 1 0 0 0 2] >>] /CalGray [/CalGray << /Gamma 1.8 >>] "
               "/Lab [/Lab << /WhitePoint [0.95 1 1.09] /Range [-128 127 -128 127] >>] "
               "/Cs2 /Cs2 /Arr1 [/Cs1] /NotAName [1 2] /Unknown /Pattern";
    });
    auto icc4 = QVPDFUtilities::ColorSpaceWithPDFObject(s["Icc4"]);
    ASSERT_TRUE(icc4);
    EXPECT_EQ(icc4->kind(), Kind::ICCBased);
    EXPECT_EQ(icc4->model(), Model::CMYK);
    EXPECT_EQ(icc4->base()->kind(), Kind::DeviceCMYK);
    EXPECT_EQ(icc4->iccProfile(), "profile");
    EXPECT_FALSE(QVPDFUtilities::ColorSpaceWithPDFObject(s["Icc2"]));
    auto iccLab = QVPDFUtilities::ParserICCBased(s["IccLab"]);
    ASSERT_TRUE(iccLab);
    EXPECT_EQ(iccLab->model(), Model::Lab);
    // Without /N the profile's header gives the count.
    auto iccNoN = QVPDFUtilities::ColorSpaceWithPDFObject(s["IccNoN"]);
    ASSERT_TRUE(iccNoN);
    EXPECT_EQ(iccNoN->numberOfComponents(), 1);

    auto idx = QVPDFUtilities::ParserIndexed(s["Idx"]);
    ASSERT_TRUE(idx);
    EXPECT_EQ(idx->hival(), 255);
    EXPECT_EQ(idx->lookupTable().size(), 768u);
    auto gray2 = QVPDFUtilities::ColorSpaceWithPDFObject(s["Gray2"]);
    ASSERT_TRUE(gray2);
    EXPECT_EQ(gray2->hival(), 1);
    EXPECT_TRUE(gray2->isGrayOutput());
    EXPECT_EQ(rgbOf(*gray2, {1}), (std::array<uint8_t, 3>{255, 255, 255}));

    auto cal = QVPDFUtilities::ParserCalRGB(s["CalRGB"]);
    ASSERT_TRUE(cal);
    EXPECT_EQ(cal->whitePoint(), (std::array<double, 3>{1, 1, 1}));
    EXPECT_EQ(cal->gamma(), (std::array<double, 3>{1, 1, 1}));
    EXPECT_EQ(cal->matrix(), (std::array<double, 9>{1, 0, 0, 0, 1, 0, 0, 0, 1}));
    auto cal2 = QVPDFUtilities::ColorSpaceWithPDFObject(s["CalRGB2"]);
    ASSERT_TRUE(cal2);
    EXPECT_EQ(cal2->gamma()[1], 2.2);
    EXPECT_EQ(cal2->matrix()[8], 2);
    auto calGray = QVPDFUtilities::ParserCalGray(s["CalGray"]);
    ASSERT_TRUE(calGray);
    EXPECT_EQ(calGray->gamma()[0], 1.8);
    auto lab = QVPDFUtilities::ParserLab(s["Lab"]);
    ASSERT_TRUE(lab);
    EXPECT_EQ(lab->range(), (std::vector<double>{-128, 127, -128, 127}));

    EXPECT_EQ(QVPDFUtilities::ColorSpaceWithPDFObject(s["Cs2"])->kind(), Kind::DeviceRGB);
    // A device name leading an array counts as that device space.
    EXPECT_EQ(QVPDFUtilities::ColorSpaceWithPDFObject(s["Arr1"])->kind(), Kind::DeviceGray);
    EXPECT_FALSE(QVPDFUtilities::ColorSpaceWithPDFObject(s["NotAName"]));
    EXPECT_FALSE(QVPDFUtilities::ColorSpaceWithPDFObject(s["Unknown"]));
    EXPECT_FALSE(QVPDFUtilities::ColorSpaceFromName("Indexed"));
}

TEST(QVPDFUtilitiesColorSpace, TintedSpacesAndDefinitionsThatReferToThemselves) {
    Spaces s = makeSpaces([](fixtures::PdfBuilder& b) {
        std::string loop = b.reserveObject();
        b.setObject(loop, "[/Indexed " + loop + " 1 <0000>]");
        std::string loop2 = b.reserveObject();
        b.setObject(loop2, "[/DeviceN [/A] " + loop2 + " /Identity]");
        return "/Loop " + loop + " /Loop2 " + loop2 +
               " /Sep [/Separation /Spot /DeviceGray << /FunctionType 2 /Domain [0 1] "
               "/C0 [1] /C1 [0] /N 1 >>] /NoFn [/Separation /Spot /DeviceGray 7] "
               "/DevN [/DeviceN [/C /M] [/ICCBased " +
               b.addStream("<< /N 3 >>", "") +
               "] << /FunctionType 2 /Domain [0 1] /C0 [0 0 0] /C1 [1 1 1] /N 1 >>]";
    });
    EXPECT_FALSE(QVPDFUtilities::ColorSpaceWithPDFObject(s["Loop"]));
    EXPECT_FALSE(QVPDFUtilities::ColorSpaceWithPDFObject(s["Loop2"]));
    EXPECT_FALSE(QVPDFUtilities::ColorSpaceWithPDFObject(s["NoFn"]));
    auto sep = QVPDFUtilities::ColorSpaceWithPDFObject(s["Sep"]);
    ASSERT_TRUE(sep);
    EXPECT_EQ(sep->model(), Model::DeviceN);
    EXPECT_EQ(sep->numberOfComponents(), 1);
    EXPECT_EQ(rgbOf(*sep, {1}), (std::array<uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(rgbOf(*sep, {0}), (std::array<uint8_t, 3>{255, 255, 255}));
    auto devN = QVPDFUtilities::ColorSpaceWithPDFObject(s["DevN"]);
    ASSERT_TRUE(devN);
    EXPECT_EQ(devN->numberOfComponents(), 2);
    EXPECT_EQ(devN->base()->kind(), Kind::ICCBased);
}

TEST(QVPDFUtilitiesColorSpace, DecodeArrays) {
    ImagePdf pdf = makeImagePdf({
        {"Given", stream("<< /Subtype /Image /Decode [1 0 0.5 1] >>", "")},
        {"Inline", stream("<< /Subtype /Image /D [1 0] >>", "")},
        {"None", stream("<< /Subtype /Image >>", "")},
    });
    auto gray = ImageColorSpace::deviceGray();
    auto indexed = ImageColorSpace::indexed(ImageColorSpace::deviceRGB(), 15, "");
    auto lab = ImageColorSpace::lab({1, 1, 1}, {0, 0, 0}, {-50, 50, -20, 20});
    auto given = QVPDF_ImageDecodeArray(pdf.image("Given").streamDictionary(), gray.get(), 8);
    EXPECT_EQ(given, (std::vector<double>{1, 0, 0.5, 1}));
    EXPECT_EQ(QVPDF_ImageDecodeArray(pdf.image("Inline").streamDictionary(), gray.get(), 1),
              (std::vector<double>{1, 0}));
    const platform::PdfObject none = pdf.image("None").streamDictionary();
    EXPECT_EQ(QVPDF_ImageDecodeArray(none, indexed.get(), 4), (std::vector<double>{0, 15}));
    EXPECT_EQ(QVPDF_ImageDecodeArray(none, ImageColorSpace::deviceCMYK().get(), 8),
              (std::vector<double>{0, 1, 0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(QVPDF_ImageDecodeArray(none, lab.get(), 8),
              (std::vector<double>{0, 100, -50, 50, -20, 20}));
    EXPECT_FALSE(QVPDF_ImageDecodeArray(none, nullptr, 8));
}

} // namespace
