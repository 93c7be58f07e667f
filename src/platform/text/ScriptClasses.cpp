#include "platform/text/ScriptClasses.h"

#include "platform/text/IcuLibrary.h"

namespace platform {

bool isLetterOrDigit(char32_t c) {
    return icuLibrary().u_isalnum(static_cast<UChar32>(c)) != 0;
}

bool isOfScriptWithoutWordSpaces(char32_t c) {
    // Halfwidth and fullwidth forms (fullwidth digits and Latin letters) are
    // script Common but belong to CJK text.
    if (c >= 0xFF00 && c <= 0xFFEF)
        return true;
    UErrorCode status = U_ZERO_ERROR;
    UScriptCode script = icuLibrary().uscript_getScript(static_cast<UChar32>(c), &status);
    if (U_FAILURE(status))
        return false;
    switch (script) {
    case USCRIPT_HAN:
    case USCRIPT_HIRAGANA:
    case USCRIPT_KATAKANA:
    case USCRIPT_KATAKANA_OR_HIRAGANA:
    case USCRIPT_BOPOMOFO:
    case USCRIPT_YI:
    case USCRIPT_THAI:
    case USCRIPT_LAO:
    case USCRIPT_KHMER:
    case USCRIPT_MYANMAR:
    case USCRIPT_TIBETAN:
    case USCRIPT_JAVANESE:
    case USCRIPT_BALINESE:
    case USCRIPT_TAI_LE:
    case USCRIPT_NEW_TAI_LUE:
    case USCRIPT_TAI_VIET:
        return true;
    default:
        return false;
    }
}

} // namespace platform
