#include "platform/text/IcuLibrary.h"

#include "platform/LoadedLibrary.h"

#include <stdexcept>
#include <string>

namespace platform {

namespace {

#define CORVALA_ICU_NAME(name) CORVALA_ICU_QUOTE(name)
#define CORVALA_ICU_QUOTE(name) #name

struct Loaded {
    IcuLibrary functions;
    std::string missing; // what could not be found; empty when all was
};

Loaded load() {
    Loaded result;
    const LoadedLibrary lib(CORVALA_ICU_SONAME);
    if (!lib.loaded()) {
        result.missing = "the Unicode library " CORVALA_ICU_SONAME " (ICU) cannot be opened";
        return result;
    }
#define CORVALA_ICU_BIND(name)                                                                \
    if (!lib.bind(result.functions.name, CORVALA_ICU_NAME(name)) && result.missing.empty())   \
        result.missing = "the Unicode library " CORVALA_ICU_SONAME " (ICU) has no function "  \
                         CORVALA_ICU_NAME(name);
    CORVALA_ICU_FUNCTIONS(CORVALA_ICU_BIND)
#undef CORVALA_ICU_BIND
    return result;
}

} // namespace

const IcuLibrary& icuLibrary() {
    static const Loaded loaded = load();
    if (!loaded.missing.empty())
        throw std::runtime_error(loaded.missing);
    return loaded.functions;
}

} // namespace platform
