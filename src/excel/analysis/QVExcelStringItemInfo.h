#pragma once
// The box of a string item in display space (points, origin top-left, y down).

#include "platform/Geometry.h"

class QVExcelStringItemInfo {
public:
    double displayWidth() const { return displayWidth_; }
    void setDisplayWidth(double v) { displayWidth_ = v; }
    double displayHeight() const { return displayHeight_; }
    void setDisplayHeight(double v) { displayHeight_ = v; }
    double displayX() const { return displayX_; }
    void setDisplayX(double v) { displayX_ = v; }
    double displayY() const { return displayY_; }
    void setDisplayY(double v) { displayY_ = v; }

    /// The box with its corner rounded to whole points (halves away from
    /// zero), width and height unchanged.
    platform::Rect textBoxRect() const;

private:
    double displayWidth_ = 0;
    double displayHeight_ = 0;
    double displayX_ = 0;
    double displayY_ = 0;
};
