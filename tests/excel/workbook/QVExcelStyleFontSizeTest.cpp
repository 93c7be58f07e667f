// Font sizes are written as "%0.0f" writes them: whole points, halves to the
// even neighbour, within Excel's 1 to 409; checked against the fixed format
// itself over quarter points (every tie included) and the odd values.
#include "excel/workbook/QVExcelStyleFont.h"
#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

TEST(QVExcelStyleFontSize, WrittenAsTheFixedFormatRoundsIt) {
    for (double sz = -2.0; sz <= 420.0; sz += 0.25) {
        const double kept = std::clamp(sz, 1.0, 409.0);
        EXPECT_EQ(QVExcelStyleFont::writtenSize(sz), platform::formatFixed(kept, 0)) << sz;
    }
    EXPECT_EQ(QVExcelStyleFont::writtenSize(2.5), "2");
    EXPECT_EQ(QVExcelStyleFont::writtenSize(3.5), "4");
    EXPECT_EQ(QVExcelStyleFont::writtenSize(10.499999999), "10");
    EXPECT_EQ(QVExcelStyleFont::writtenSize(std::nan("")), "12");
    EXPECT_EQ(QVExcelStyleFont::writtenSize(std::numeric_limits<double>::infinity()), "12");
    EXPECT_EQ(QVExcelStyleFont::writtenSize(1e300), "409");
}
