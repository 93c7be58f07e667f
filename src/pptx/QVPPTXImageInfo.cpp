#include "pptx/QVPPTXImageInfo.h"

#include <cmath>

QVPPTXImageInfo::QVPPTXImageInfo(const platform::AffineTransform& t, double opacity) {
    setUpWithTransform(t, opacity);
}

void QVPPTXImageInfo::setUpWithTransform(const platform::AffineTransform& t, double alpha) {
    const platform::Point p0 = t.apply({0, 0}), p1 = t.apply({1, 0}), p2 = t.apply({1, 1});
    const double width = std::hypot(p1.x - p0.x, p1.y - p0.y);
    const double height = std::hypot(p2.x - p1.x, p2.y - p1.y);
    const platform::Point centre{p0.x + (p2.x - p0.x) / 2, p0.y + (p2.y - p0.y) / 2};
    float degrees = std::atan2(static_cast<float>(p1.y - p0.y), static_cast<float>(p1.x - p0.x)) *
                    static_cast<float>(180.0 / M_PI);
    while (degrees < 0)
        degrees += 360;
    while (degrees >= 360)
        degrees -= 360;
    rotation = degrees;
    flipY = static_cast<float>((p0.x - p1.x) * (p1.y - p2.y) - (p1.x - p2.x) * (p0.y - p1.y)) > 0;
    flipX = false;
    displayX = centre.x - width / 2;
    displayY = centre.y - height / 2;
    displayWidth = width;
    displayHeight = height;
    opacity = static_cast<float>(alpha);
}

void QVPPTXImageInfo::imageInfoWithOrigin(platform::Point origin, platform::Size size) {
    opacity = 1.0f;
    rotation = 0;
    displayX = origin.x;
    displayY = origin.y;
    displayWidth = size.width;
    displayHeight = size.height;
}
