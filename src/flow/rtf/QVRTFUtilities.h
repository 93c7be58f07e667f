#pragma once
// The character state record of the RTF output: what was written last.

#include <cstdint>

struct QVRTF_State {
    float fontSize = -1.0f; ///< half-points
    int32_t fontIndex = -1; ///< -1: nothing written yet in this document
    int32_t foregroundColorIndex = -1;
    int32_t backgroundColorIndex = 0;
    struct {
        unsigned bold : 1;
        unsigned italic : 1;
    } flags{0, 0};
    int32_t underline = 0;
    int32_t superscript = 0;
    int32_t alignment = 0;
    int32_t firstLineIndent = 0;
    int32_t leftIndent = 0;
    int32_t rightIndent = 0;
};

class QVRTFUtilities {
public:
    QVRTFUtilities() = delete;
    static QVRTF_State defaultStateProperty() { return {}; }
};
