#pragma once
// ICU's C functions that the text services use, taken from the library when
// one of them is first needed (see LoadedLibrary): a conversion without text
// never loads ICU and its data library.

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/uscript.h>

namespace platform {

// ICU's functions carry its version in their names (u_isalnum_72); the
// headers rename them, so each is looked up by the name it expands to.
#define CORVALA_ICU_FUNCTIONS(X)                                                             \
    X(u_charType) X(u_isalnum) X(u_tolower) X(u_toupper) X(unorm2_getNFDInstance)          \
    X(unorm2_normalize) X(uscript_getScript)

struct IcuLibrary {
#define CORVALA_ICU_MEMBER(name) decltype(&::name) name = nullptr;
    CORVALA_ICU_FUNCTIONS(CORVALA_ICU_MEMBER)
#undef CORVALA_ICU_MEMBER
};

/// The functions, looked up once, on the first call. Throws
/// std::runtime_error naming the library when it or one of the functions is
/// missing: the text cannot be read right without them.
const IcuLibrary& icuLibrary();

} // namespace platform
