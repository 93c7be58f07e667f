#pragma once
// Cairo's functions that the bitmaps use, taken from the library when the
// first bitmap is made (see LoadedLibrary).

#include <cairo.h>

namespace platform {

#define CORVALA_CAIRO_FUNCTIONS(X)                                                              \
    X(clip) X(close_path) X(create) X(curve_to) X(destroy) X(device_to_user_distance) X(fill)  \
    X(get_matrix) X(get_source) X(identity_matrix) X(image_surface_create)                     \
    X(image_surface_get_data) X(image_surface_get_stride) X(line_to) X(mask_surface)           \
    X(matrix_init) X(move_to) X(new_path) X(paint) X(pattern_set_extend) X(pattern_set_filter) \
    X(pop_group_to_source) X(push_group) X(rectangle) X(restore) X(save) X(scale) X(set_dash)  \
    X(set_fill_rule) X(set_line_cap) X(set_line_join) X(set_line_width) X(set_matrix)          \
    X(set_miter_limit) X(set_operator) X(set_source_rgba) X(set_source_surface) X(status)      \
    X(stroke) X(surface_destroy) X(surface_flush) X(surface_mark_dirty) X(surface_status)      \
    X(transform) X(translate)

struct CairoLibrary {
#define CORVALA_CAIRO_MEMBER(name) decltype(&::cairo_##name) name = nullptr;
    CORVALA_CAIRO_FUNCTIONS(CORVALA_CAIRO_MEMBER)
#undef CORVALA_CAIRO_MEMBER
    /// False when the library or one of the functions is missing; the
    /// functions are then not to be called.
    bool loaded = false;
};

/// The functions, looked up once, on the first call.
const CairoLibrary& cairoLibrary();

} // namespace platform
