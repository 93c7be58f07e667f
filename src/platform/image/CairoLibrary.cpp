#include "platform/image/CairoLibrary.h"

#include "platform/LoadedLibrary.h"

namespace platform {

CORVALA_LOADED_LIBRARY(CairoLibrary, cairoLibrary, CORVALA_CAIRO_SONAME, "cairo_",
                       CORVALA_CAIRO_FUNCTIONS)

} // namespace platform
