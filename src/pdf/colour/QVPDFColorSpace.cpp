#include "pdf/colour/QVPDFColorSpace.h"

#include "pdf/QVPDFResourceCache.h"
#include "pdf/colour/QVPDFCalGrayColorSpace.h"
#include "pdf/colour/QVPDFCalRGBColorSpace.h"
#include "pdf/colour/QVPDFDeviceCMYKColorSpace.h"
#include "pdf/colour/QVPDFDeviceGrayColorSpace.h"
#include "pdf/colour/QVPDFDeviceNColorSpace.h"
#include "pdf/colour/QVPDFDeviceRGBColorSpace.h"
#include "pdf/colour/QVPDFICCBasedColorSpace.h"
#include "pdf/colour/QVPDFIndexedColorSpace.h"
#include "pdf/colour/QVPDFLabColorSpace.h"
#include "pdf/colour/QVPDFPatternColorSpace.h"
#include "pdf/colour/QVPDFSeparationColorSpace.h"

#include <array>
#include <string_view>

QVPDFColorSpace::~QVPDFColorSpace() = default;

bool QVPDFColorSpace::parse(const platform::PdfObject& object) {
    QVPDFResourceCache cache;
    return parse(object, cache);
}
bool QVPDFColorSpace::parse(const platform::PdfObject&, QVPDFResourceCache&) {
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
    {"DeviceGray", create<QVPDFDeviceGrayColorSpace>},
    {"G", create<QVPDFDeviceGrayColorSpace>},
    {"DeviceRGB", create<QVPDFDeviceRGBColorSpace>},
    {"RGB", create<QVPDFDeviceRGBColorSpace>},
    {"DeviceCMYK", create<QVPDFDeviceCMYKColorSpace>},
    {"CMYK", create<QVPDFDeviceCMYKColorSpace>},
    {"CalGray", create<QVPDFCalGrayColorSpace>},
    {"CalRGB", create<QVPDFCalRGBColorSpace>},
    {"Lab", create<QVPDFLabColorSpace>},
    {"ICCBased", create<QVPDFICCBasedColorSpace>},
    // "I" abbreviates Indexed only inside inline images; here its parse fails.
    {"Indexed", create<QVPDFIndexedColorSpace>},
    {"I", create<QVPDFIndexedColorSpace>},
    {"Separation", create<QVPDFSeparationColorSpace>},
    {"DeviceN", create<QVPDFDeviceNColorSpace>},
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
    QVPDFResourceCache cache;
    return colorSpaceWithObject(object, cache);
}

std::shared_ptr<const QVPDFColorSpace>
QVPDFColorSpace::colorSpaceWithObject(const platform::PdfObject& object,
                                      QVPDFResourceCache& cache) {
    if (auto cached = cache.colorSpace(object))
        return cached;
    QVPDFResourceCache::Scope scope(cache, object);
    if (!scope.entered())
        return nullptr;
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
    (void)space->parse(object, cache);
    std::shared_ptr<const QVPDFColorSpace> shared(std::move(space));
    cache.storeColorSpace(object, shared);
    return shared;
}
