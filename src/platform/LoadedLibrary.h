#pragma once
// A shared library opened when first needed. Libraries that only some
// conversions use (cairo for drawing, libtiff for fax images) are opened this
// way: linked, every start of the command would load them and the dozen
// libraries they need (X11 among them), which cost more than a light
// conversion's own work.

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
