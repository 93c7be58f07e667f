#include "pdf/colour/QVPDFColor.h"

#include <gtest/gtest.h>

#include <limits>

TEST(QVPDFColor, OperandsBecomeComponentsWithoutLosingAByte) {
    const struct {
        double operand;
        int32_t component;
    } cases[] = {
        {0.0, 0},          {1.0, 255},        {0.5, 127},         // truncated, not rounded
        {0.62745098, 160}, {0.627451, 160},   {0.99607843, 254},  // b/255 written with decimals
        {0.0039215, 1},    {0.003, 0},        {-0.5, -127},      {100.0, 25500},     // unclamped: Lab L, indexes
        {1e300, std::numeric_limits<int32_t>::max()},
        {-1e300, std::numeric_limits<int32_t>::min()},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QVPDF_ColorComponentFromOperand(c.operand), c.component) << c.operand;
    for (int b = 0; b <= 255; ++b)
        EXPECT_EQ(QVPDF_ColorComponentFromOperand(b / 255.0), b) << b;
}
