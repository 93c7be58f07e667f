#include "platform/image/CairoLibrary.h"

#include "platform/LoadedLibrary.h"

namespace platform {

const CairoLibrary& cairoLibrary() {
    static const CairoLibrary library = [] {
        CairoLibrary c;
        const LoadedLibrary lib(CORVALA_CAIRO_SONAME);
        bool found = lib.loaded();
#define CORVALA_CAIRO_BIND(name) found = lib.bind(c.name, "cairo_" #name) && found;
        CORVALA_CAIRO_FUNCTIONS(CORVALA_CAIRO_BIND)
#undef CORVALA_CAIRO_BIND
        c.loaded = found;
        return c;
    }();
    return library;
}

} // namespace platform
