#pragma once
// Page and image helpers shared by every exporter.

#include "platform/Geometry.h"

namespace platform {
class PdfPage;
}

class QVPDFUtilities {
public:
    QVPDFUtilities() = delete;
    /// The rotated media box's size at origin (0, 0); (0, 0, 595, 842) stands
    /// in for a missing, infinite or empty box.
    static platform::Rect MediaBoxOfPDFPage(const platform::PdfPage& page);
};
