// The colour spaces and decode arrays of image samples.
#include "pdf/QVPDFUtilities.h"

#include "pdf/function/QVPDFFunction.h"
#include "platform/image/ImageSamples.h"
#include "platform/image/ImageStreamReader.h"

#include <array>
#include <cmath>

using platform::ImageColorSpace;
using platform::PdfObject;
using ColorSpaceRef = QVPDFUtilities::ColorSpaceRef;

namespace {

// Colour spaces nest (an indexed base, an ICC or DeviceN alternate) a level or
// two deep; the bound stops definitions that refer to themselves.
constexpr int kMaxNesting = 8;
// Lookup tables hold at most 256 entries of 32 components; ICC profiles are
// read only for their header and stay well below this.
constexpr uint64_t kMaxLookupBytes = 256 * 32;
constexpr uint64_t kMaxProfileBytes = uint64_t(4) << 20;

ColorSpaceRef withObject(const PdfObject& object, int depth);
ColorSpaceRef fromArray(const PdfObject& array, int depth);

std::optional<std::array<double, 3>> threeNumbers(const PdfObject& dict, const char* key) {
    auto a = dict.getArray(key);
    if (!a || a->arraySize() != 3)
        return std::nullopt;
    std::array<double, 3> v{};
    for (size_t i = 0; i < 3; ++i) {
        auto n = a->numberAt(i);
        if (!n || !std::isfinite(*n))
            return std::nullopt;
        v[i] = *n;
    }
    return v;
}

/// Entry 1 of [/Family << ... >>] when entry 0 is the family's name.
std::optional<PdfObject> familyDictionary(const PdfObject& array, const char* family) {
    if (!array.isArray() || array.nameAt(0) != family)
        return std::nullopt;
    PdfObject dict = array.at(1);
    if (!dict.isDictionary())
        return std::nullopt;
    return dict;
}

/// The component count an ICC profile's header declares (its data colour space).
int componentsOfProfile(const std::string& profile) {
    if (profile.size() < 20)
        return 0;
    std::string signature = profile.substr(16, 4);
    if (signature == "GRAY")
        return 1;
    if (signature == "RGB " || signature == "Lab " || signature == "XYZ ")
        return 3;
    if (signature == "CMYK")
        return 4;
    return 0;
}

ColorSpaceRef tinted(const PdfObject& array, int depth) {
    const bool separation = array.nameAt(0) == "Separation";
    if (array.arraySize() < 4)
        return nullptr;
    int components = 1;
    if (!separation) {
        PdfObject names = array.at(1);
        if (!names.isArray() || names.arraySize() < 1 || names.arraySize() > 32)
            return nullptr;
        components = int(names.arraySize());
    }
    ColorSpaceRef alternate = withObject(array.at(2), depth + 1);
    auto function = QVPDFFunction::FuntionWithObject(array.at(3));
    if (!alternate || !function)
        return nullptr;
    const int outputs = alternate->numberOfComponents();
    return ImageColorSpace::tinted(components, alternate,
                                   [function, components, outputs](const double* in, double* out) {
                                       QVPDFFunction::Values input{}, output{};
                                       for (int i = 0; i < components; ++i)
                                           input[size_t(i)] = in[i];
                                       function->transformInput(input, output);
                                       for (int i = 0; i < outputs; ++i)
                                           out[i] = output[size_t(i)];
                                   });
}

ColorSpaceRef iccBased(const PdfObject& array, int depth) {
    if (array.nameAt(0) != "ICCBased" || !array.at(1).isStream())
        return nullptr;
    PdfObject stream = array.at(1);
    PdfObject dict = stream.streamDictionary();
    std::string profile = platform::readStreamData(stream, kMaxProfileBytes).value_or("");
    // The count comes from /N, else from the profile itself; never guessed.
    int n = int(dict.getInteger("N").value_or(0));
    if (n <= 0)
        n = componentsOfProfile(profile);
    if (n != 1 && n != 3 && n != 4)
        return nullptr;
    ColorSpaceRef alternate;
    if (dict.hasKey("Alternate"))
        alternate = withObject(dict.get("Alternate"), depth + 1);
    if (!alternate || alternate->numberOfComponents() != n)
        alternate = n == 1   ? ImageColorSpace::deviceGray()
                    : n == 3 ? ImageColorSpace::deviceRGB()
                             : ImageColorSpace::deviceCMYK();
    std::vector<double> range;
    if (auto r = dict.getArray("Range"))
        for (size_t i = 0; i < r->arraySize() && i < size_t(2 * n); ++i)
            range.push_back(r->numberAt(i).value_or(i % 2 ? 1.0 : 0.0));
    if (range.size() != size_t(2 * n))
        range.clear();
    return ImageColorSpace::iccBased(n, std::move(range), std::move(profile), alternate);
}

ColorSpaceRef indexed(const PdfObject& array, int depth) {
    auto family = array.nameAt(0);
    if (family != "Indexed" && family != "I")
        return nullptr;
    PdfObject baseObject = array.at(1);
    ColorSpaceRef base;
    if (baseObject.isArray())
        base = fromArray(baseObject, depth + 1);
    else if (auto name = baseObject.name())
        base = QVPDFUtilities::ColorSpaceFromName(*name);
    if (!base)
        return nullptr;
    long long hival = array.integerAt(2).value_or(-1);
    if (hival < 0)
        return nullptr;
    // Tables are at most 256 entries; a larger highest index reads as 255.
    hival = std::min<long long>(hival, 255);
    PdfObject tableObject = array.at(3);
    std::string table;
    if (auto s = tableObject.string())
        table = *s;
    else if (tableObject.isStream())
        table = platform::readStreamData(tableObject, kMaxLookupBytes).value_or("");
    else
        return nullptr;
    return ImageColorSpace::indexed(base, int(hival), std::move(table));
}

ColorSpaceRef fromArray(const PdfObject& array, int depth) {
    if (depth > kMaxNesting || !array.isArray())
        return nullptr;
    auto family = array.nameAt(0);
    if (!family)
        return nullptr;
    if (auto device = QVPDFUtilities::ColorSpaceFromName(*family))
        return device;
    if (*family == "CalGray")
        return QVPDFUtilities::ParserCalGray(array);
    if (*family == "CalRGB")
        return QVPDFUtilities::ParserCalRGB(array);
    if (*family == "Lab")
        return QVPDFUtilities::ParserLab(array);
    if (*family == "ICCBased")
        return iccBased(array, depth);
    if (*family == "Indexed" || *family == "I")
        return indexed(array, depth);
    if (*family == "Separation" || *family == "DeviceN")
        return tinted(array, depth);
    return nullptr;
}

ColorSpaceRef withObject(const PdfObject& object, int depth) {
    if (auto name = object.name())
        return QVPDFUtilities::ColorSpaceFromName(*name);
    if (object.isArray() && object.nameAt(0))
        return fromArray(object, depth);
    return nullptr;
}

} // namespace

ColorSpaceRef QVPDFUtilities::ColorSpaceWithPDFObject(const PdfObject& object) {
    return withObject(object, 0);
}

ColorSpaceRef QVPDFUtilities::ColorSpaceFromName(const std::string& name) {
    if (name == "DeviceGray" || name == "G" || name == "Cs1")
        return ImageColorSpace::deviceGray();
    if (name == "DeviceRGB" || name == "RGB" || name == "Cs2")
        return ImageColorSpace::deviceRGB();
    if (name == "DeviceCMYK" || name == "CMYK")
        return ImageColorSpace::deviceCMYK();
    return nullptr;
}

ColorSpaceRef QVPDFUtilities::ColorSpaceFromPDFArray(const PdfObject& array) {
    return fromArray(array, 0);
}

ColorSpaceRef QVPDFUtilities::ParserCalGray(const PdfObject& array) {
    auto dict = familyDictionary(array, "CalGray");
    if (!dict)
        return nullptr;
    double gamma = dict->getNumber("Gamma").value_or(1.0);
    return ImageColorSpace::calibratedGray(
        threeNumbers(*dict, "WhitePoint").value_or(std::array<double, 3>{1, 1, 1}),
        threeNumbers(*dict, "BlackPoint").value_or(std::array<double, 3>{0, 0, 0}),
        std::isfinite(gamma) ? gamma : 1.0);
}

ColorSpaceRef QVPDFUtilities::ParserCalRGB(const PdfObject& array) {
    auto dict = familyDictionary(array, "CalRGB");
    if (!dict)
        return nullptr;
    std::array<double, 9> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1};
    if (auto m = dict->getArray("Matrix"); m && m->arraySize() == 9) {
        std::array<double, 9> read{};
        bool ok = true;
        for (size_t i = 0; i < 9 && ok; ++i) {
            auto v = m->numberAt(i);
            ok = v && std::isfinite(*v);
            read[i] = v.value_or(0);
        }
        if (ok)
            matrix = read;
    }
    return ImageColorSpace::calibratedRGB(
        threeNumbers(*dict, "WhitePoint").value_or(std::array<double, 3>{1, 1, 1}),
        threeNumbers(*dict, "BlackPoint").value_or(std::array<double, 3>{0, 0, 0}),
        threeNumbers(*dict, "Gamma").value_or(std::array<double, 3>{1, 1, 1}), matrix);
}

ColorSpaceRef QVPDFUtilities::ParserLab(const PdfObject& array) {
    auto dict = familyDictionary(array, "Lab");
    if (!dict)
        return nullptr;
    std::array<double, 4> range{-100, 100, -100, 100};
    if (auto r = dict->getArray("Range"); r && r->arraySize() == 4) {
        std::array<double, 4> read{};
        bool ok = true;
        for (size_t i = 0; i < 4 && ok; ++i) {
            auto v = r->numberAt(i);
            ok = v && std::isfinite(*v);
            read[i] = v.value_or(0);
        }
        if (ok && read[0] <= read[1] && read[2] <= read[3])
            range = read;
    }
    // The white point is required; without one, D65 (the sRGB white) keeps
    // neutral colours neutral.
    return ImageColorSpace::lab(
        threeNumbers(*dict, "WhitePoint").value_or(std::array<double, 3>{0.9505, 1.0, 1.089}),
        threeNumbers(*dict, "BlackPoint").value_or(std::array<double, 3>{0, 0, 0}), range);
}

ColorSpaceRef QVPDFUtilities::ParserICCBased(const PdfObject& array) {
    return iccBased(array, 0);
}

ColorSpaceRef QVPDFUtilities::ParserIndexed(const PdfObject& array) {
    return indexed(array, 0);
}

std::optional<std::vector<double>> QVPDF_ImageDecodeArray(const PdfObject& imageDict,
                                                          const ImageColorSpace* space,
                                                          int bitsPerComponent) {
    if (!space)
        return std::nullopt;
    PdfObject decode = imageDict.get("Decode");
    if (!decode.isArray())
        decode = imageDict.get("D");
    if (decode.isArray()) {
        std::vector<double> values;
        for (size_t i = 0; i < decode.arraySize(); ++i)
            if (auto v = decode.numberAt(i))
                values.push_back(*v);
        return values;
    }
    return platform::defaultDecodeArray(*space, bitsPerComponent);
}
