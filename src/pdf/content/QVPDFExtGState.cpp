#include "pdf/content/QVPDFExtGState.h"

#include "pdf/colour/QVPDFColor.h"
#include "pdf/font/QVPDFFont.h"

#include <array>
#include <cmath>
#include <string_view>

namespace {

constexpr std::array<std::pair<std::string_view, int32_t>, 17> kBlendModes = {{
    {"Normal", 0},
    {"Compatible", 0},
    {"Multiply", 1},
    {"Screen", 2},
    {"Overlay", 3},
    {"Darken", 4},
    {"Lighten", 5},
    {"ColorDodge", 6},
    {"ColorBurn", 7},
    {"HardLight", 8},
    {"SoftLight", 9},
    {"Difference", 10},
    {"Exclusion", 11},
    {"Hue", 12},
    {"Saturation", 13},
    {"Color", 14},
    {"Luminosity", 15},
}};

std::optional<int32_t> blendModeNamed(const std::string& name) {
    for (const auto& [n, mode] : kBlendModes)
        if (n == name)
            return mode;
    return std::nullopt;
}

// A real that fits a single-precision float; anything else is damage.
std::optional<float> floatOf(const platform::PdfObject& o) {
    auto v = o.number();
    if (!v || !std::isfinite(*v) || std::fabs(*v) > 3.402823e38)
        return std::nullopt;
    return static_cast<float>(*v);
}

std::optional<int32_t> int32Of(const platform::PdfObject& o) {
    auto v = o.integer();
    if (!v)
        return std::nullopt;
    return QVPDF_ClampToInt32(*v);
}

std::optional<std::vector<double>> dashArrayOf(const platform::PdfObject& array) {
    std::vector<double> out;
    for (size_t i = 0; i < array.arraySize(); ++i) {
        auto v = array.numberAt(i);
        if (!v || !std::isfinite(*v))
            return std::nullopt;
        out.push_back(*v);
    }
    return out;
}

} // namespace

std::optional<int32_t> QVPDFExtGState::parseBlendMode(const platform::PdfObject& object) {
    if (auto name = object.name())
        return blendModeNamed(*name);
    if (!object.isArray())
        return std::nullopt;
    for (size_t i = 0; i < object.arraySize(); ++i) {
        auto name = object.nameAt(i);
        if (!name)
            return std::nullopt;
        if (auto mode = blendModeNamed(*name))
            return mode;
    }
    return 0;
}

QVPDFExtGState::QVPDFExtGState(const platform::PdfObject& dict, std::string objectKey)
    : objectKey_(std::move(objectKey)) {
    QVPDFExtGStateValue& v = gStateValue_;
    v.LW = floatOf(dict.get("LW"));
    v.LC = int32Of(dict.get("LC"));
    v.LJ = int32Of(dict.get("LJ"));
    v.ML = floatOf(dict.get("ML"));
    if (auto d = dict.getArray("D")) {
        // The standard form is [dash-array phase]; a bare list of numbers is
        // taken as the dash array alone.
        platform::PdfObject first = d->at(0);
        if (first.isArray()) {
            auto phase = d->numberAt(1);
            auto dashes = dashArrayOf(first);
            if (dashes && phase && std::isfinite(*phase)) {
                v.D = std::move(dashes);
                v.DPhase = *phase;
            }
        } else {
            v.D = dashArrayOf(*d);
        }
    }
    v.RI = dict.getName("RI");
    if (dict.hasKey("BM"))
        v.BM = parseBlendMode(dict.get("BM"));
    v.CA = floatOf(dict.get("CA"));
    v.ca = floatOf(dict.get("ca"));
    v.AIS = dict.getBoolean("AIS");
    v.op = dict.getBoolean("op");
    v.OP = dict.getBoolean("OP");
    v.SA = dict.getBoolean("SA");
    if (auto font = dict.getArray("Font")) {
        v.fontSize = floatOf(font->at(1));
        platform::PdfObject f = font->at(0);
        if (f.isDictionary())
            v.font = QVPDFFont::fontWithDictionary(f, objectKey_);
        else
            v.fontResourceName = f.name();
    }
}
