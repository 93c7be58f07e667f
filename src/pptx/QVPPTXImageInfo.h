#pragma once
// The geometry of a picture on a slide: an upright frame in display space,
// a clockwise rotation about the frame's centre, mirror flags and opacity.

#include "platform/Geometry.h"

class QVPPTXImageInfo {
public:
    QVPPTXImageInfo() = default;
    /// The frame of the image's unit square mapped by `imageTransform` (to
    /// display space), with the state's fill alpha as opacity.
    QVPPTXImageInfo(const platform::AffineTransform& imageTransform, double opacity);

    void setUpWithTransform(const platform::AffineTransform& imageTransform, double opacity);
    /// A picture of `size` display points whose top-left corner is `origin`:
    /// upright, unmirrored, opaque.
    void imageInfoWithOrigin(platform::Point origin, platform::Size size);

    platform::Rect displayRect() const {
        return {{displayX, displayY}, {displayWidth, displayHeight}};
    }
    void setDisplayRect(const platform::Rect& r) {
        displayX = r.origin.x;
        displayY = r.origin.y;
        displayWidth = r.size.width;
        displayHeight = r.size.height;
    }

    float opacity = 0;
    float rotation = 0; ///< degrees, 0 up to 360
    bool flipX = false;
    bool flipY = false;
    double displayWidth = 0;
    double displayHeight = 0;
    double displayX = 0;
    double displayY = 0;
};
