#include "platform/image/Bitmap.h"

#include "platform/image/CairoLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform {

namespace {

const CairoLibrary& cairo() {
    return cairoLibrary();
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo().surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo().destroy(c); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

cairo_matrix_t toCairo(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo().matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

/// A premultiplied ARGB32 surface of an RGBA/RGB/gray image.
SurfacePtr surfaceOf(const RasterImage& image) {
    SurfacePtr s(cairo().image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height));
    if (cairo().surface_status(s.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    cairo().surface_flush(s.get());
    unsigned char* data = cairo().image_surface_get_data(s.get());
    const int stride = cairo().image_surface_get_stride(s.get());
    const int c = image.channels();
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* src = image.row(y);
        auto* dst = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < image.width; ++x, src += c) {
            uint32_t r, g, b, a = 255;
            if (image.isGray()) {
                r = g = b = src[0];
            } else {
                r = src[0];
                g = src[1];
                b = src[2];
            }
            if (image.hasAlpha())
                a = src[c - 1];
            r = (r * a + 127) / 255;
            g = (g * a + 127) / 255;
            b = (b * a + 127) / 255;
            dst[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo().surface_mark_dirty(s.get());
    return s;
}

/// An A8 surface whose alpha is the mask's gray level times its alpha.
SurfacePtr alphaSurfaceOf(const RasterImage& mask) {
    SurfacePtr s(cairo().image_surface_create(CAIRO_FORMAT_A8, mask.width, mask.height));
    if (cairo().surface_status(s.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    cairo().surface_flush(s.get());
    unsigned char* data = cairo().image_surface_get_data(s.get());
    const int stride = cairo().image_surface_get_stride(s.get());
    const int c = mask.channels();
    for (int y = 0; y < mask.height; ++y) {
        const uint8_t* src = mask.row(y);
        unsigned char* dst = data + size_t(y) * stride;
        for (int x = 0; x < mask.width; ++x, src += c) {
            uint32_t level = mask.isGray()
                                 ? src[0]
                                 : (299u * src[0] + 587u * src[1] + 114u * src[2] + 500) / 1000;
            if (mask.hasAlpha())
                level = (level * src[c - 1] + 127) / 255;
            dst[x] = uint8_t(level);
        }
    }
    cairo().surface_mark_dirty(s.get());
    return s;
}

void appendPath(cairo_t* cr, const Path& path) {
    cairo().new_path(cr);
    Point current{};
    for (const PathElement& e : path.elements()) {
        switch (e.type) {
        case PathElementType::MoveTo:
            cairo().move_to(cr, e.points[0].x, e.points[0].y);
            current = e.points[0];
            break;
        case PathElementType::LineTo:
            cairo().line_to(cr, e.points[0].x, e.points[0].y);
            current = e.points[0];
            break;
        case PathElementType::QuadCurveTo: {
            const Point& q = e.points[0];
            const Point& end = e.points[1];
            cairo().curve_to(cr, current.x + 2.0 / 3.0 * (q.x - current.x),
                           current.y + 2.0 / 3.0 * (q.y - current.y),
                           end.x + 2.0 / 3.0 * (q.x - end.x), end.y + 2.0 / 3.0 * (q.y - end.y),
                           end.x, end.y);
            current = end;
            break;
        }
        case PathElementType::CurveTo:
            cairo().curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y,
                           e.points[2].x, e.points[2].y);
            current = e.points[2];
            break;
        case PathElementType::Close:
            cairo().close_path(cr);
            break;
        }
    }
}

/// cairo keeps no finite rectangle for a degenerate transform; such drawing
/// draws nothing.
bool usableRect(const Rect& r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height) && r.size.width != 0 && r.size.height != 0;
}

} // namespace

struct BitmapImpl {
    SurfacePtr surface;
    ContextPtr cr;
    int width = 0, height = 0;
    /// The combined clip masks of each saved state (device space, A8), or
    /// none; the last entry is the current state's.
    std::vector<std::shared_ptr<cairo_surface_t>> masks{nullptr};

    bool usable() const { return cairo().status(cr.get()) == CAIRO_STATUS_SUCCESS; }

    /// Runs `draw` (which paints with the current source) through the current mask.
    template <class Draw> void paintMasked(Draw draw) {
        cairo_surface_t* mask = masks.back().get();
        if (!mask) {
            draw();
            return;
        }
        cairo().push_group(cr.get());
        draw();
        cairo().pop_group_to_source(cr.get());
        cairo_matrix_t saved;
        cairo().get_matrix(cr.get(), &saved);
        cairo().identity_matrix(cr.get());
        cairo().mask_surface(cr.get(), mask, 0, 0);
        cairo().set_matrix(cr.get(), &saved);
    }
};

std::unique_ptr<Bitmap> Bitmap::create(int width, int height) {
    if (!isAcceptableImageSize(width, height) || !cairo().loaded)
        return nullptr;
    auto impl = std::make_unique<BitmapImpl>();
    impl->surface.reset(cairo().image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo().surface_status(impl->surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    impl->cr.reset(cairo().create(impl->surface.get()));
    if (cairo().status(impl->cr.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    impl->width = width;
    impl->height = height;
    // y upward from the bottom-left corner, as the platform's bitmaps have it.
    cairo_matrix_t flip;
    cairo().matrix_init(&flip, 1, 0, 0, -1, 0, height);
    cairo().set_matrix(impl->cr.get(), &flip);
    return std::unique_ptr<Bitmap>(new Bitmap(std::move(impl)));
}

Bitmap::Bitmap(std::unique_ptr<BitmapImpl> impl) : impl_(std::move(impl)) {}
Bitmap::~Bitmap() = default;

int Bitmap::width() const {
    return impl_->width;
}
int Bitmap::height() const {
    return impl_->height;
}

void Bitmap::concatTransform(const AffineTransform& t) {
    if (!impl_->usable() || t.determinant() == 0 || !std::isfinite(t.determinant()))
        return;
    cairo_matrix_t m = toCairo(t);
    cairo().transform(impl_->cr.get(), &m);
}

void Bitmap::saveState() {
    cairo().save(impl_->cr.get());
    impl_->masks.push_back(impl_->masks.back());
}

void Bitmap::restoreState() {
    if (impl_->masks.size() <= 1)
        return;
    cairo().restore(impl_->cr.get());
    impl_->masks.pop_back();
}

void Bitmap::clipToPath(const Path& path, bool evenOdd) {
    cairo_t* cr = impl_->cr.get();
    if (!impl_->usable())
        return;
    appendPath(cr, path);
    cairo().set_fill_rule(cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo().clip(cr);
}

void Bitmap::clipToMask(const Rect& rect, const RasterImage& mask) {
    if (!impl_->usable() || !mask.isValid() || !usableRect(rect))
        return;
    SurfacePtr alpha = alphaSurfaceOf(mask);
    SurfacePtr combined(cairo().image_surface_create(CAIRO_FORMAT_A8, impl_->width, impl_->height));
    if (!alpha || cairo().surface_status(combined.get()) != CAIRO_STATUS_SUCCESS)
        return;
    ContextPtr mcr(cairo().create(combined.get()));
    cairo_matrix_t m;
    cairo().get_matrix(impl_->cr.get(), &m);
    cairo().set_matrix(mcr.get(), &m);
    cairo().translate(mcr.get(), rect.origin.x, rect.origin.y + rect.size.height);
    cairo().scale(mcr.get(), rect.size.width / mask.width, -rect.size.height / mask.height);
    cairo().set_source_surface(mcr.get(), alpha.get(), 0, 0);
    cairo().pattern_set_extend(cairo().get_source(mcr.get()), CAIRO_EXTEND_PAD);
    cairo().rectangle(mcr.get(), 0, 0, mask.width, mask.height);
    cairo().fill(mcr.get());
    // Outside the mask's rectangle nothing shows; an earlier mask multiplies in.
    if (cairo_surface_t* earlier = impl_->masks.back().get()) {
        cairo().identity_matrix(mcr.get());
        cairo().set_operator(mcr.get(), CAIRO_OPERATOR_DEST_IN);
        cairo().set_source_surface(mcr.get(), earlier, 0, 0);
        cairo().paint(mcr.get());
    }
    mcr.reset();
    cairo().surface_flush(combined.get());
    impl_->masks.back() = std::shared_ptr<cairo_surface_t>(combined.release(), SurfaceDeleter());
}

void Bitmap::drawImage(const Rect& rect, const RasterImage& image, bool interpolate) {
    if (!impl_->usable() || !image.isValid() || !usableRect(rect))
        return;
    SurfacePtr source = surfaceOf(image);
    if (!source)
        return;
    cairo_t* cr = impl_->cr.get();
    impl_->paintMasked([&] {
        cairo().save(cr);
        cairo().translate(cr, rect.origin.x, rect.origin.y + rect.size.height);
        cairo().scale(cr, rect.size.width / image.width, -rect.size.height / image.height);
        cairo().set_source_surface(cr, source.get(), 0, 0);
        cairo_pattern_t* pattern = cairo().get_source(cr);
        cairo().pattern_set_filter(pattern, interpolate ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
        // Edge pixels continue to the rectangle's border instead of fading.
        cairo().pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        cairo().rectangle(cr, 0, 0, image.width, image.height);
        cairo().fill(cr);
        cairo().restore(cr);
    });
}

void Bitmap::fillRect(const Rect& rect, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    if (!impl_->usable() || !usableRect(rect))
        return;
    cairo_t* cr = impl_->cr.get();
    impl_->paintMasked([&] {
        cairo().set_source_rgba(cr, red / 255.0, green / 255.0, blue / 255.0, alpha / 255.0);
        cairo().rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
        cairo().fill(cr);
    });
}

void Bitmap::fillPath(const Path& path, bool evenOdd, Paint paint) {
    if (!impl_->usable() || path.isEmpty())
        return;
    cairo_t* cr = impl_->cr.get();
    impl_->paintMasked([&] {
        appendPath(cr, path);
        cairo().set_fill_rule(cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo().set_source_rgba(cr, paint.red / 255.0, paint.green / 255.0, paint.blue / 255.0,
                              paint.alpha / 255.0);
        cairo().fill(cr);
    });
}

void Bitmap::strokePath(const Path& path, const StrokeStyle& style, Paint paint) {
    if (!impl_->usable() || path.isEmpty() || !std::isfinite(style.width))
        return;
    cairo_t* cr = impl_->cr.get();
    impl_->paintMasked([&] {
        cairo().save(cr);
        appendPath(cr, path);
        if (style.width > 0) {
            cairo().set_line_width(cr, style.width);
        } else {
            // The thinnest line a device can show: one pixel.
            double dx = 1, dy = 0;
            cairo().device_to_user_distance(cr, &dx, &dy);
            cairo().set_line_width(cr, std::hypot(dx, dy));
        }
        cairo().set_line_cap(cr, style.cap == 1   ? CAIRO_LINE_CAP_ROUND
                               : style.cap == 2 ? CAIRO_LINE_CAP_SQUARE
                                                : CAIRO_LINE_CAP_BUTT);
        cairo().set_line_join(cr, style.join == 1   ? CAIRO_LINE_JOIN_ROUND
                                : style.join == 2 ? CAIRO_LINE_JOIN_BEVEL
                                                  : CAIRO_LINE_JOIN_MITER);
        cairo().set_miter_limit(cr, std::isfinite(style.miterLimit) && style.miterLimit >= 1
                                      ? style.miterLimit
                                      : 10);
        // A dash array of only zeros, or with a negative or non-finite entry,
        // is no dash pattern: the line is drawn solid.
        bool usable = !style.dashes.empty();
        double total = 0;
        for (double d : style.dashes) {
            usable = usable && std::isfinite(d) && d >= 0;
            total += usable ? d : 0;
        }
        if (usable && total > 0)
            cairo().set_dash(cr, style.dashes.data(), static_cast<int>(style.dashes.size()),
                           std::isfinite(style.dashPhase) ? style.dashPhase : 0);
        cairo().set_source_rgba(cr, paint.red / 255.0, paint.green / 255.0, paint.blue / 255.0,
                              paint.alpha / 255.0);
        cairo().stroke(cr);
        cairo().restore(cr);
    });
}

RasterImage Bitmap::image() const {
    cairo_surface_t* s = impl_->surface.get();
    cairo().surface_flush(s);
    RasterImage out = RasterImage::make(impl_->width, impl_->height, RasterImage::Format::RGBA);
    const unsigned char* data = cairo().image_surface_get_data(s);
    const int stride = cairo().image_surface_get_stride(s);
    if (!out.isValid() || !data)
        return out;
    for (int y = 0; y < impl_->height; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        uint8_t* dst = out.row(y);
        for (int x = 0; x < impl_->width; ++x, dst += 4) {
            uint32_t p = src[x];
            uint32_t a = p >> 24;
            uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (a != 0 && a != 255) {
                r = std::min<uint32_t>(255, (r * 255 + a / 2) / a);
                g = std::min<uint32_t>(255, (g * 255 + a / 2) / a);
                b = std::min<uint32_t>(255, (b * 255 + a / 2) / a);
            }
            dst[0] = uint8_t(r);
            dst[1] = uint8_t(g);
            dst[2] = uint8_t(b);
            dst[3] = uint8_t(a);
        }
    }
    return out;
}

RasterImage cropImage(const RasterImage& image, const Rect& rect) {
    if (!image.isValid() || !std::isfinite(rect.origin.x) || !std::isfinite(rect.origin.y) ||
        !std::isfinite(rect.size.width) || !std::isfinite(rect.size.height))
        return {};
    Rect r = rect.standardized();
    double x0 = std::max(0.0, std::floor(r.origin.x));
    double y0 = std::max(0.0, std::floor(r.origin.y));
    double x1 = std::min(double(image.width), std::ceil(r.origin.x + r.size.width));
    double y1 = std::min(double(image.height), std::ceil(r.origin.y + r.size.height));
    if (x1 <= x0 || y1 <= y0)
        return {};
    RasterImage out = RasterImage::make(int(x1 - x0), int(y1 - y0), image.format);
    const int c = image.channels();
    for (int y = 0; y < out.height; ++y)
        std::memcpy(out.row(y), image.row(int(y0) + y) + size_t(x0) * c, out.rowBytes());
    return out;
}

} // namespace platform
