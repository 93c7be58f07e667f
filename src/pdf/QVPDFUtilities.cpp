#include "pdf/QVPDFUtilities.h"

#include "platform/pdf/PdfDocument.h"

#include <cmath>

platform::Rect QVPDFUtilities::MediaBoxOfPDFPage(const platform::PdfPage& page) {
    platform::Rect box{{0, 0}, {595, 842}};
    if (auto m = page.mediaBox(); m && std::isfinite(m->size.width) &&
                                  std::isfinite(m->size.height))
        box = *m;
    long long r = page.rotation() % 360;
    if (r < 0)
        r += 360;
    // Bounding box of the box turned about the origin; multiples of 90 are
    // exact so that 90 and 270 just exchange width and height.
    double w = box.size.width, h = box.size.height;
    if (r == 90 || r == 270)
        return {{0, 0}, {h, w}};
    if (r == 0 || r == 180)
        return {{0, 0}, {w, h}};
    double a = static_cast<double>(r) * M_PI / 180.0;
    platform::Rect turned =
        platform::AffineTransform::makeRotation(a).applyToRect(box);
    return {{0, 0}, turned.size};
}
