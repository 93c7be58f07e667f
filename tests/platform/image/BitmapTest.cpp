// ARGB surfaces: y upward from the bottom-left corner, clipping to paths and
// masks, images drawn upright, and cropping.
#include "platform/image/Bitmap.h"

#include <gtest/gtest.h>

using platform::Bitmap;
using platform::RasterImage;
using F = RasterImage::Format;

namespace {

const uint8_t* pixel(const RasterImage& image, int x, int yFromTop) {
    return image.row(yFromTop) + 4 * size_t(x);
}

TEST(Bitmap, ImagesAreDrawnUprightAndClippedToPaths) {
    auto bitmap = Bitmap::create(4, 4);
    ASSERT_TRUE(bitmap);
    // A 1 x 2 image: red on top, blue below, stretched over the whole surface.
    RasterImage image = RasterImage::make(1, 2, F::RGB);
    image.pixels = {255, 0, 0, 0, 0, 255};
    // Only the left half: x from 0 to 2 in user space.
    platform::Path left;
    left.addRect({{0, 0}, {2, 4}});
    bitmap->clipToPath(left, false);
    bitmap->drawImage({{0, 0}, {4, 4}}, image, false);
    RasterImage out = bitmap->image();
    ASSERT_EQ(out.format, F::RGBA);
    EXPECT_EQ(std::vector<uint8_t>(pixel(out, 0, 0), pixel(out, 0, 0) + 4),
              (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(std::vector<uint8_t>(pixel(out, 1, 3), pixel(out, 1, 3) + 4),
              (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(pixel(out, 3, 0)[3], 0);
    EXPECT_EQ(pixel(out, 2, 3)[3], 0);
}

TEST(Bitmap, MaskGrayLevelsActAsAlphaAndStatesRestore) {
    auto bitmap = Bitmap::create(2, 1);
    ASSERT_TRUE(bitmap);
    RasterImage mask = RasterImage::make(2, 1, F::Gray);
    mask.pixels = {255, 0};
    bitmap->saveState();
    bitmap->clipToMask({{0, 0}, {2, 1}}, mask);
    bitmap->fillRect({{0, 0}, {2, 1}}, 0, 128, 0);
    bitmap->restoreState();
    RasterImage out = bitmap->image();
    EXPECT_EQ(std::vector<uint8_t>(out.pixels.begin(), out.pixels.end()),
              (std::vector<uint8_t>{0, 128, 0, 255, 0, 0, 0, 0}));
    // After the restore nothing clips any more.
    bitmap->fillRect({{1, 0}, {1, 1}}, 9, 9, 9);
    EXPECT_EQ(bitmap->image().pixels[7], 255);
}

TEST(Bitmap, TransformsConcatenateAndCropsStayInside) {
    auto bitmap = Bitmap::create(4, 2);
    ASSERT_TRUE(bitmap);
    bitmap->concatTransform(platform::AffineTransform::makeScale(2, 2));
    bitmap->fillRect({{1, 0}, {1, 1}}, 255, 255, 255);
    RasterImage out = bitmap->image();
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(pixel(out, x, 0)[3], x >= 2 ? 255 : 0) << x;

    RasterImage cropped = platform::cropImage(out, {{1.5, -3}, {2, 10}});
    EXPECT_EQ(cropped.width, 3);
    EXPECT_EQ(cropped.height, 2);
    EXPECT_EQ(pixel(cropped, 0, 0)[3], 0);
    EXPECT_EQ(pixel(cropped, 1, 0)[3], 255);
    EXPECT_EQ(platform::cropImage(out, {{10, 10}, {1, 1}}).width, 0);
    EXPECT_FALSE(Bitmap::create(0, 5));
    EXPECT_FALSE(Bitmap::create(100000, 100000));
}

} // namespace
