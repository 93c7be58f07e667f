#include "pdf/QVPDFColorSpace.h"

#include "pdf/QVPDFDeviceCMYKColorSpace.h"
#include "pdf/QVPDFDeviceGrayColorSpace.h"
#include "pdf/QVPDFDeviceRGBColorSpace.h"
#include "pdf/QVPDFPatternColorSpace.h"

#include <array>
#include <string_view>

QVPDFColorSpace::~QVPDFColorSpace() = default;

bool QVPDFColorSpace::parse(const platform::PdfObject&) {
    return true;
}
int QVPDFColorSpace::getGray(const QVPDFColor&) const {
    return 0;
}
QVPDFRGB QVPDFColorSpace::getRGB(const QVPDFColor&) const {
    return {};
}
QVPDFCMYK QVPDFColorSpace::getCMYK(const QVPDFColor&) const {
    return {};
}

std::string QVPDFColorSpace::colorSpaceModeName(int mode) {
    static constexpr std::array<std::string_view, 12> kNames = {
        "Unknow", "DeviceGray", "CalGray", "DeviceRGB",  "CalRGB",  "DeviceCMYK",
        "Lab",    "ICCBased",   "Indexed", "Separation", "DeviceN", "Pattern"};
    if (mode < 0 || mode >= static_cast<int>(kNames.size()))
        return {};
    return std::string(kNames[static_cast<size_t>(mode)]);
}

namespace {

using Creator = std::unique_ptr<QVPDFColorSpace> (*)();

template <typename T> std::unique_ptr<QVPDFColorSpace> create() {
    return std::make_unique<T>();
}

struct FamilyEntry {
    std::string_view name;
    Creator creator;
};

// Family names at the head of an array definition. Families without a class
// here give no colour space.
constexpr FamilyEntry kArrayFamilies[] = {
    {"DeviceGray", create<QVPDFDeviceGrayColorSpace>}, {"G", create<QVPDFDeviceGrayColorSpace>},
    {"DeviceRGB", create<QVPDFDeviceRGBColorSpace>},   {"RGB", create<QVPDFDeviceRGBColorSpace>},
    {"DeviceCMYK", create<QVPDFDeviceCMYKColorSpace>}, {"CMYK", create<QVPDFDeviceCMYKColorSpace>},
    {"Pattern", create<QVPDFPatternColorSpace>},
};

// Names standing alone. "Cs1" and "Cs2" are the names some producers give the
// device spaces without defining them in the resources.
constexpr FamilyEntry kNameFamilies[] = {
    {"DeviceGray", create<QVPDFDeviceGrayColorSpace>},
    {"G", create<QVPDFDeviceGrayColorSpace>},
    {"Cs1", create<QVPDFDeviceGrayColorSpace>},
    {"DeviceRGB", create<QVPDFDeviceRGBColorSpace>},
    {"RGB", create<QVPDFDeviceRGBColorSpace>},
    {"Cs2", create<QVPDFDeviceRGBColorSpace>},
    {"DeviceCMYK", create<QVPDFDeviceCMYKColorSpace>},
    {"CMYK", create<QVPDFDeviceCMYKColorSpace>},
    {"Pattern", create<QVPDFPatternColorSpace>},
};

template <size_t N> Creator find(const FamilyEntry (&table)[N], const std::string& name) {
    for (const FamilyEntry& e : table)
        if (e.name == name)
            return e.creator;
    return nullptr;
}

} // namespace

std::shared_ptr<const QVPDFColorSpace>
QVPDFColorSpace::colorSpaceWithObject(const platform::PdfObject& object) {
    Creator creator = nullptr;
    if (object.isArray()) {
        if (auto family = object.nameAt(0))
            creator = find(kArrayFamilies, *family);
    } else if (auto name = object.name()) {
        creator = find(kNameFamilies, *name);
    }
    if (!creator)
        return nullptr;
    std::unique_ptr<QVPDFColorSpace> space = creator();
    (void)space->parse(object);
    return std::shared_ptr<const QVPDFColorSpace>(std::move(space));
}
