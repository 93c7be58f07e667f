#include "pdf/colour/QVPDFColorSpaceHelpers.h"

#include "pdf/function/QVPDFFunction.h"

#include <algorithm>

namespace QVPDFColorSpaceHelpers {

bool isFamilyArray(const platform::PdfObject& object, const std::string& family) {
    return object.isArray() && object.nameAt(0) == family;
}

std::optional<platform::PdfObject> familyDictionary(const platform::PdfObject& object,
                                                    const std::string& family) {
    if (!isFamilyArray(object, family))
        return std::nullopt;
    platform::PdfObject dict = object.at(1);
    if (!dict.isDictionary())
        return std::nullopt;
    return dict;
}

void readTriple(const platform::PdfObject& dict, const std::string& key, double& x, double& y,
                double& z) {
    std::optional<platform::PdfObject> array = dict.getArray(key);
    if (!array || array->arraySize() != 3)
        return;
    x = array->numberAt(0).value_or(x);
    y = array->numberAt(1).value_or(y);
    z = array->numberAt(2).value_or(z);
}

QVPDFColor tintTransform(const QVPDFFunction* function, const QVPDFColor& color, int count,
                         int altComps) {
    QVPDFFunction::Values in{}, out{};
    for (size_t i = 0; i < static_cast<size_t>(std::clamp(count, 0, QVPDFColor::kMaxComponents));
         ++i)
        in[i] = color.c[i] / 255.0;
    if (function)
        function->transformInput(in, out);
    QVPDFColor alternate;
    for (size_t i = 0; i < static_cast<size_t>(std::clamp(altComps, 0, QVPDFColor::kMaxComponents));
         ++i)
        alternate.c[i] = QVPDF_ColorComponentFromOperand(out[i]);
    return alternate;
}

} // namespace QVPDFColorSpaceHelpers
