#pragma once
// A graphics-state parameter dictionary of the page resources, read once into
// typed values; `gs` applies the values present (QVPDFRenderState::setGraphicState).

#include "platform/pdf/PdfObject.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QVPDFFont;

/// The parameters present in the dictionary; absent ones are none. Numbers
/// the dictionary gives as reals are kept in single precision.
struct QVPDFExtGStateValue {
    std::optional<float> LW;
    std::optional<int32_t> LC;
    std::optional<int32_t> LJ;
    std::optional<float> ML;
    /// Dash array of /D; its phase when /D has the standard form [array phase].
    std::optional<std::vector<double>> D;
    std::optional<double> DPhase;
    std::optional<std::string> RI;
    std::optional<int32_t> BM;
    std::optional<float> CA;
    std::optional<float> ca;
    std::optional<bool> AIS;
    std::optional<bool> op;
    std::optional<bool> OP;
    std::optional<bool> SA;
    /// /Font [font size]: the font made from entry 0 when it is a font
    /// dictionary, or its resource name when a producer wrote a name there.
    std::shared_ptr<const QVPDFFont> font;
    std::optional<std::string> fontResourceName;
    std::optional<float> fontSize;
};

class QVPDFExtGState {
public:
    QVPDFExtGState(const platform::PdfObject& dictionary, std::string objectKey);

    /// The number of a blend mode given as a name or an array of names (the
    /// first known one counts; an array of only unknown names, or an empty one,
    /// is Normal). None for an unknown name, a non-name entry met before a
    /// known one, or any other object.
    static std::optional<int32_t> parseBlendMode(const platform::PdfObject& object);

    const std::string& objectKey() const { return objectKey_; }
    const QVPDFExtGStateValue& gStateValue() const { return gStateValue_; }

private:
    std::string objectKey_;
    QVPDFExtGStateValue gStateValue_;
};
