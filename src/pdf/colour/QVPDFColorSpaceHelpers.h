#pragma once
// Pieces shared by the colour-space families: readers of their definitions
// and the tint transform of Separation and DeviceN.

#include "pdf/colour/QVPDFColor.h"
#include "platform/pdf/PdfObject.h"

#include <optional>
#include <string>

class QVPDFFunction;

namespace QVPDFColorSpaceHelpers {

/// The dictionary of a [/Family << ... >>] definition; none when `object` is
/// not an array whose entry 0 is that name and entry 1 a dictionary.
std::optional<platform::PdfObject> familyDictionary(const platform::PdfObject& object,
                                                    const std::string& family);

/// When dict[key] is an array of exactly 3 entries, its number entries go to
/// x, y, z (others leave theirs unchanged).
void readTriple(const platform::PdfObject& dict, const std::string& key, double& x, double& y,
                double& z);

/// Entry 0 of `object` is the name `family`.
bool isFamilyArray(const platform::PdfObject& object, const std::string& family);

/// The tints c0 .. c(count-1) (on 0..255) run through `function`; component
/// i of the result is output i times 255, truncated, not clamped, for i below
/// `altComps`. No function counts as all outputs 0.
QVPDFColor tintTransform(const QVPDFFunction* function, const QVPDFColor& color, int count,
                         int altComps);

} // namespace QVPDFColorSpaceHelpers
