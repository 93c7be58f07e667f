#pragma once
// The colour space of an image's samples, as the imaging code needs it: the
// model, the number of components, the parameters of the PDF definition, and
// the conversion of one pixel to 8-bit RGB. There is no colour management:
// calibrated and ICC-based spaces convert as their device counterparts (an ICC
// space through its alternate), CMYK and Lab with the same rules as the
// interpreter's colour spaces, so a picture and a fill of the same colour
// agree. Separation and DeviceN spaces convert through a tint transform that
// the caller supplies.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class ImageColorSpace {
public:
    enum class Model { Monochrome, RGB, CMYK, Lab, DeviceN, Indexed };
    enum class Kind {
        DeviceGray,
        DeviceRGB,
        DeviceCMYK,
        CalGray,
        CalRGB,
        Lab,
        ICCBased,
        Indexed,
        Tinted
    };
    /// Maps `inputs` tint values (0..1) to the alternate space's components.
    using TintTransform = std::function<void(const double* inputs, double* outputs)>;

    static std::shared_ptr<const ImageColorSpace> deviceGray();
    static std::shared_ptr<const ImageColorSpace> deviceRGB();
    static std::shared_ptr<const ImageColorSpace> deviceCMYK();
    static std::shared_ptr<const ImageColorSpace> calibratedGray(std::array<double, 3> whitePoint,
                                                                 std::array<double, 3> blackPoint,
                                                                 double gamma);
    static std::shared_ptr<const ImageColorSpace> calibratedRGB(std::array<double, 3> whitePoint,
                                                                std::array<double, 3> blackPoint,
                                                                std::array<double, 3> gamma,
                                                                std::array<double, 9> matrix);
    /// `range` is (amin, amax, bmin, bmax).
    static std::shared_ptr<const ImageColorSpace> lab(std::array<double, 3> whitePoint,
                                                      std::array<double, 3> blackPoint,
                                                      std::array<double, 4> range);
    /// An ICC-based space of `components` (1, 3 or 4) over `alternate`; none
    /// when the count is another or the alternate has another count.
    static std::shared_ptr<const ImageColorSpace>
    iccBased(int components, std::vector<double> range, std::string profile,
             std::shared_ptr<const ImageColorSpace> alternate);
    /// An indexed space of hival + 1 entries over `base`; a table shorter than
    /// (hival + 1) x base components is padded with zeros. None without a base,
    /// with a base that is itself indexed, or with hival outside 0..255.
    static std::shared_ptr<const ImageColorSpace>
    indexed(std::shared_ptr<const ImageColorSpace> base, int hival, std::string table);
    /// A Separation (1 component) or DeviceN space of `components` (1..32)
    /// whose tints go through `transform` into `alternate`.
    static std::shared_ptr<const ImageColorSpace>
    tinted(int components, std::shared_ptr<const ImageColorSpace> alternate,
           TintTransform transform);

    Kind kind() const { return kind_; }
    Model model() const;
    int numberOfComponents() const { return components_; }
    /// The base of an indexed space, the alternate of ICC-based and tinted spaces.
    const std::shared_ptr<const ImageColorSpace>& base() const { return base_; }
    int hival() const { return hival_; }
    const std::string& lookupTable() const { return table_; }
    const std::array<double, 3>& whitePoint() const { return white_; }
    const std::array<double, 3>& blackPoint() const { return black_; }
    /// CalGray: gamma in [0]; CalRGB: the three gammas.
    const std::array<double, 3>& gamma() const { return gamma_; }
    const std::array<double, 9>& matrix() const { return matrix_; }
    /// Lab: amin, amax, bmin, bmax; ICC-based: min/max per component.
    const std::vector<double>& range() const { return range_; }
    const std::string& iccProfile() const { return profile_; }
    /// True when every pixel converts to a gray (gray spaces, indexed over gray).
    bool isGrayOutput() const;

    /// One pixel: `components` values in the space's own numbers (0..1 for the
    /// device-like spaces, L*/a*/b* for Lab, the index for Indexed, tints for
    /// Separation and DeviceN) to 8-bit RGB.
    void toRGB(const double* components, uint8_t rgb[3]) const;

private:
    ImageColorSpace(Kind kind, int components) : kind_(kind), components_(components) {}

    Kind kind_;
    int components_;
    std::shared_ptr<const ImageColorSpace> base_;
    int hival_ = 0;
    std::string table_;
    std::array<double, 3> white_{1, 1, 1};
    std::array<double, 3> black_{0, 0, 0};
    std::array<double, 3> gamma_{1, 1, 1};
    std::array<double, 9> matrix_{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::vector<double> range_;
    std::string profile_;
    TintTransform transform_;
    // Lab: the white-point scale factors of the red, green and blue channels.
    std::array<double, 3> labScale_{1, 1, 1};
};

} // namespace platform
