#include "writer/QVHexColor.h"
#include "writer/QVOpenXMLNameSpace.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Model = QVDeviceColor::Model;

TEST(QVHexColorTest, ChannelsRoundHalfAwayAndStaySixDigits) {
    struct Case {
        std::optional<QVDeviceColor> color;
        std::optional<std::string> hex;
        bool black;
    };
    const std::vector<Case> cases = {
        {QVDeviceColor{Model::RGB, {1.0, 0.0, 0.5, 1.0}}, "ff0080", false},
        {QVDeviceColor{Model::Monochrome, {0.5, 1.0}}, "808080", false},
        {QVDeviceColor{Model::Monochrome, {0.0, 1.0}}, "000000", true},
        {QVDeviceColor{Model::Monochrome, {1.0, 1.0}}, "ffffff", false},
        {QVDeviceColor{Model::RGB, {10 / 255.0, 10 / 255.0, 10 / 255.0, 1}}, "0a0a0a", true},
        {QVDeviceColor{Model::RGB, {11 / 255.0, 0, 0, 1}}, "0b0000", false},
        {QVDeviceColor{Model::Other, {0.1, 0.9, 0.2, 0.3, 1}}, "000000", true},
        // Out-of-range and missing components never widen the text.
        {QVDeviceColor{Model::RGB, {2.0, -1.0, std::nan(""), 1}}, "ff0000", false},
        {QVDeviceColor{Model::RGB, {}}, "000000", true},
        {std::nullopt, std::nullopt, false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(QVHexColor::getHexColorFromCGColor(cases[i].color), cases[i].hex) << i;
        EXPECT_EQ(QVHexColor::isBlackColor(cases[i].color), cases[i].black) << i;
    }
}

TEST(QVHexColorTest, TextForms) {
    EXPECT_EQ(QVHexColor::argbStringFromRGBValue(0xff0000), "FFff0000");
    EXPECT_EQ(QVHexColor::argbStringFromRGBValue(0x1234567), "FF234567");
    EXPECT_EQ(QVHexColor::rgbValueFromHexString("#1F1f1f"), 0x1f1f1fu);
    EXPECT_FALSE(QVHexColor::rgbValueFromHexString("(null)"));
    EXPECT_FALSE(QVHexColor::rgbValueFromHexString("FF2f2b20"));
    EXPECT_EQ(QVHexColor::getHexColorFromCGColor(QVHexColor::whiteCGColor()), "ffffff");
}

TEST(QVOpenXMLNameSpaceTest, SpreadsheetURIs) {
    EXPECT_EQ(QVOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main(),
              "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    EXPECT_EQ(QVOpenXMLNameSpace::nameSpace_Rels_WorkSheet(),
              "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet");
    EXPECT_EQ(QVOpenXMLNameSpace::nameSpace_dcmitype(), "http://purl.org/dc/dcmitype/");
}

} // namespace
