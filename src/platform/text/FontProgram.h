#pragma once
// What the font code needs to know of an embedded font program (Type1, CFF,
// TrueType, OpenType), read with FreeType: its names and its built-in
// single-byte encoding as glyph names.

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FontProgramInfo {
    std::string postScriptName; ///< empty when the program names none
    std::string fullName;       ///< empty when the program names none
    /// The style the program declares of itself (its style flags).
    bool bold = false;
    bool italic = false;
    /// The glyph name of each code 0..255 in the program's own encoding (a Type1
    /// or CFF encoding, or a TrueType (3,0)/(1,0) cmap with glyph names); empty
    /// for codes it leaves unused. Meaningful only when hasBuiltinEncoding.
    std::array<std::string, 256> builtinEncoding;
    bool hasBuiltinEncoding = false;
    /// The Unicode code point of each glyph index (of each CID for a
    /// CID-keyed CFF program), from a TrueType/OpenType program's Unicode cmap
    /// (the lowest code point mapped to the glyph); 0 for glyphs it does not
    /// map. Empty when the program has no such cmap.
    std::vector<char32_t> glyphUnicodes;
    /// The program's own name of each glyph index ("" for unnamed glyphs), from
    /// a CFF, Type 1 or TrueType 'post' table, read only when the program has
    /// no Unicode cmap: the names are then what says what the glyphs are.
    std::vector<std::string> glyphNames;
};

/// None when FreeType cannot read the bytes as a font program.
std::optional<FontProgramInfo> readFontProgram(const std::string& bytes);

} // namespace platform
