#pragma once
// A shared library opened when first needed. Libraries that only some
// conversions use (cairo for drawing, libtiff and jbig2dec for fax and JBIG2
// images, FreeType for font programs, ICU for text) are opened this way:
// linked, every start of the command would load them and the libraries they
// need (X11 among them), which cost more than a light conversion's own work.

#include <string>

namespace platform {

class LoadedLibrary {
public:
    /// Opens the library by its run-time name ("libcairo.so.2"); not loaded()
    /// when it cannot be opened. The library stays open for the rest of the
    /// process: functions taken from it may be called until exit.
    explicit LoadedLibrary(const char* soname);

    bool loaded() const { return handle_ != nullptr; }
    /// Sets `function` to the library's function `name`; false (and null) when
    /// the library is not loaded or has no such function.
    template <class F> bool bind(F& function, const char* name) const {
        function = reinterpret_cast<F>(symbol(name));
        return function != nullptr;
    }

private:
    void* symbol(const char* name) const;
    void* handle_ = nullptr; // not owned: never closed, see above
};

} // namespace platform

/// Defines `const Type& accessor()`: a Type (a struct with one function
/// pointer member per name FUNCTIONS lists, and `bool loaded`) filled once,
/// on first use, from the library `soname`, each member from the symbol
/// `prefix` + its name. `loaded` is true when the library and every function
/// were found.
#define CORVALA_LOADED_LIBRARY(Type, accessor, soname, prefix, FUNCTIONS)                          \
    const Type& accessor() {                                                                       \
        static const Type library = [] {                                                           \
            Type functions_;                                                                       \
            const char* const prefix_ = prefix;                                                    \
            const ::platform::LoadedLibrary library_(soname);                                      \
            bool found_ = library_.loaded();                                                       \
            FUNCTIONS(CORVALA_LOADED_LIBRARY_BIND)                                                 \
            functions_.loaded = found_;                                                            \
            return functions_;                                                                     \
        }();                                                                                       \
        return library;                                                                            \
    }
#define CORVALA_LOADED_LIBRARY_BIND(name)                                                          \
    found_ = library_.bind(functions_.name, (std::string(prefix_) + #name).c_str()) && found_;
