#pragma once
// A colour of the RTF colour table, components 0 to 1.

#include <string>

class QVRTFColorEntry {
public:
    QVRTFColorEntry() = default;
    QVRTFColorEntry(double red, double green, double blue, double alpha)
        : red_(red), green_(green), blue_(blue), alpha_(alpha) {}

    /// Red, green and blue exactly equal; alpha is not compared.
    bool isEqualToColor(const QVRTFColorEntry* other) const {
        return other && red_ == other->red_ && green_ == other->green_ && blue_ == other->blue_;
    }
    /// "\redR\greenG\blueB;" on a 0-255 scale; a colour whose three
    /// components are all above 0.9 is written as grey 128 (near-white text
    /// would vanish on the page).
    std::string rtfFormat() const;

    double red() const { return red_; }
    double green() const { return green_; }
    double blue() const { return blue_; }
    double alpha() const { return alpha_; }

private:
    double red_ = 0;
    double green_ = 0;
    double blue_ = 0;
    double alpha_ = 1.0;
};
