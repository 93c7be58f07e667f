#include "platform/LoadedLibrary.h"

#include <dlfcn.h>

namespace platform {

LoadedLibrary::LoadedLibrary(const char* soname)
    : handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {}

void* LoadedLibrary::symbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

} // namespace platform
