#include "platform/text/FontProgram.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TYPE1_TABLES_H
#include FT_CID_H

#include "platform/LoadedLibrary.h"

#include <memory>
#include <string_view>

namespace platform {

namespace {

// FreeType's functions, taken from the library when the first embedded font
// is read (see LoadedLibrary): pages without embedded fonts never load it and
// the compression libraries it needs. Without it every font program reads as
// unreadable, as other libraries opened on demand fail.
#define CORVALA_FREETYPE_FUNCTIONS(X)                                                        \
    X(Done_Face) X(Done_FreeType) X(Get_CID_From_Glyph_Index)                              \
    X(Get_CID_Is_Internally_CID_Keyed) X(Get_Char_Index) X(Get_First_Char) X(Get_Glyph_Name) \
    X(Get_Next_Char) X(Get_PS_Font_Info) X(Get_Postscript_Name) X(Get_Sfnt_Name)           \
    X(Get_Sfnt_Name_Count) X(Init_FreeType) X(New_Memory_Face) X(Set_Charmap)

struct FreeTypeLibrary {
#define CORVALA_FREETYPE_MEMBER(name) decltype(&::FT_##name) name = nullptr;
    CORVALA_FREETYPE_FUNCTIONS(CORVALA_FREETYPE_MEMBER)
#undef CORVALA_FREETYPE_MEMBER
    bool loaded = false; // the library and every function were found
};

CORVALA_LOADED_LIBRARY(FreeTypeLibrary, freetype, CORVALA_FREETYPE_SONAME, "FT_",
                       CORVALA_FREETYPE_FUNCTIONS)

struct LibraryDeleter {
    void operator()(FT_Library lib) const { freetype().Done_FreeType(lib); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { freetype().Done_Face(face); }
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

/// Name-table strings: Windows Unicode (UTF-16BE) or the ASCII part of Mac Roman.
std::string sfntName(FT_Face face, FT_UShort nameId) {
    FT_UInt count = freetype().Get_Sfnt_Name_Count(face);
    std::string mac;
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName n;
        if (freetype().Get_Sfnt_Name(face, i, &n) != 0 || n.name_id != nameId)
            continue;
        if (n.platform_id == TT_PLATFORM_MICROSOFT || n.platform_id == TT_PLATFORM_APPLE_UNICODE) {
            std::string out;
            for (FT_UInt k = 0; k + 1 < n.string_len; k += 2) {
                char32_t c = (char32_t(n.string[k]) << 8) | n.string[k + 1];
                if (c >= 0xD800 && c < 0xDC00 && k + 3 < n.string_len) {
                    char32_t lo = (char32_t(n.string[k + 2]) << 8) | n.string[k + 3];
                    if (lo >= 0xDC00 && lo < 0xE000) {
                        c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
                        k += 2;
                    }
                }
                if (c >= 0xD800 && c < 0xE000)
                    c = 0xFFFD;
                appendUtf8(out, c);
            }
            if (!out.empty())
                return out;
        } else if (n.platform_id == TT_PLATFORM_MACINTOSH && mac.empty()) {
            for (FT_UInt k = 0; k < n.string_len; ++k)
                if (n.string[k] >= 0x20 && n.string[k] < 0x7F)
                    mac += static_cast<char>(n.string[k]);
        }
    }
    return mac;
}

bool readEncoding(FT_Face face, FontProgramInfo& info) {
    if (!FT_HAS_GLYPH_NAMES(face))
        return false;
    FT_CharMap chosen = nullptr;
    bool symbolCmap = false;
    for (int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap cm = face->charmaps[i];
        if (cm->encoding == FT_ENCODING_ADOBE_CUSTOM ||
            cm->encoding == FT_ENCODING_ADOBE_STANDARD ||
            cm->encoding == FT_ENCODING_ADOBE_EXPERT) {
            chosen = cm;
            break;
        }
        if (cm->platform_id == TT_PLATFORM_MICROSOFT && cm->encoding_id == TT_MS_ID_SYMBOL_CS) {
            chosen = cm;
            symbolCmap = true;
        } else if (!chosen && cm->platform_id == TT_PLATFORM_MACINTOSH &&
                   cm->encoding_id == TT_MAC_ID_ROMAN) {
            chosen = cm;
        }
    }
    if (!chosen || freetype().Set_Charmap(face, chosen) != 0)
        return false;
    bool any = false;
    char name[128];
    for (FT_ULong code = 0; code < 256; ++code) {
        FT_UInt gid = freetype().Get_Char_Index(face, code);
        // Symbol cmaps usually place the codes at U+F000 + code.
        if (gid == 0 && symbolCmap)
            gid = freetype().Get_Char_Index(face, 0xF000 + code);
        if (gid == 0 || freetype().Get_Glyph_Name(face, gid, name, sizeof name) != 0 || !name[0])
            continue;
        if (std::string(name) == ".notdef")
            continue;
        info.builtinEncoding[code] = name;
        any = true;
    }
    return any;
}

/// Glyph index to code point from an sfnt program's own Unicode cmap (not one
/// FreeType makes up from glyph names).
void readGlyphUnicodes(FT_Face face, FontProgramInfo& info) {
    if (!FT_IS_SFNT(face) || face->num_glyphs <= 0)
        return;
    FT_CharMap unicode = nullptr;
    for (int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap cm = face->charmaps[i];
        if (cm->encoding != FT_ENCODING_UNICODE)
            continue;
        // (3,10) covers the supplementary planes; else (3,1) or (0,x).
        if (!unicode ||
            (cm->platform_id == TT_PLATFORM_MICROSOFT && cm->encoding_id == TT_MS_ID_UCS_4))
            unicode = cm;
    }
    if (!unicode || freetype().Set_Charmap(face, unicode) != 0)
        return;
    std::vector<char32_t> map(static_cast<size_t>(face->num_glyphs), 0);
    bool any = false;
    FT_UInt gid = 0;
    // Codes come in increasing order, so the first code of a glyph is its lowest.
    for (FT_ULong code = freetype().Get_First_Char(face, &gid); gid != 0;
         code = freetype().Get_Next_Char(face, code, &gid)) {
        if (gid < map.size() && map[gid] == 0 && code > 0 && code <= 0x10FFFF &&
            !(code >= 0xD800 && code <= 0xDFFF)) {
            map[gid] = static_cast<char32_t>(code);
            any = true;
        }
    }
    if (!any)
        return;
    // A CID-keyed CFF program's glyph indices are not its CIDs: index by CID.
    FT_Bool cidKeyed = 0;
    if (freetype().Get_CID_Is_Internally_CID_Keyed(face, &cidKeyed) == 0 && cidKeyed) {
        std::vector<char32_t> byCID;
        for (size_t g = 0; g < map.size(); ++g) {
            FT_UInt cid = 0;
            if (map[g] == 0 ||
                freetype().Get_CID_From_Glyph_Index(face, static_cast<FT_UInt>(g), &cid) != 0 ||
                cid > 0xFFFF)
                continue;
            if (cid >= byCID.size())
                byCID.resize(cid + 1, 0);
            if (byCID[cid] == 0)
                byCID[cid] = map[g];
        }
        map = std::move(byCID);
    }
    info.glyphUnicodes = std::move(map);
}

/// Glyph names by glyph index, for programs without a Unicode cmap. A CID-keyed
/// program has none (its glyphs are numbered, not named).
void readGlyphNames(FT_Face face, FontProgramInfo& info) {
    // Programs beyond 65,536 glyphs are damage; subsets are far smaller.
    if (!FT_HAS_GLYPH_NAMES(face) || face->num_glyphs <= 0 || face->num_glyphs > 65536)
        return;
    std::vector<std::string> names(static_cast<size_t>(face->num_glyphs));
    bool any = false;
    char name[128];
    for (FT_UInt g = 0; g < names.size(); ++g) {
        if (freetype().Get_Glyph_Name(face, g, name, sizeof name) != 0 || !name[0] ||
            std::string_view(name) == ".notdef")
            continue;
        names[g] = name;
        any = true;
    }
    if (any)
        info.glyphNames = std::move(names);
}

} // namespace

std::optional<FontProgramInfo> readFontProgram(const std::string& bytes) {
    if (bytes.empty() || !freetype().loaded)
        return std::nullopt;
    FT_Library rawLib = nullptr;
    if (freetype().Init_FreeType(&rawLib) != 0)
        return std::nullopt;
    std::unique_ptr<FT_LibraryRec_, LibraryDeleter> lib(rawLib);
    FT_Face rawFace = nullptr;
    if (freetype().New_Memory_Face(rawLib, reinterpret_cast<const FT_Byte*>(bytes.data()),
                           static_cast<FT_Long>(bytes.size()), 0, &rawFace) != 0)
        return std::nullopt;
    std::unique_ptr<FT_FaceRec_, FaceDeleter> face(rawFace);

    FontProgramInfo info;
    if (const char* ps = freetype().Get_Postscript_Name(rawFace))
        info.postScriptName = ps;
    if (FT_IS_SFNT(rawFace)) {
        info.fullName = sfntName(rawFace, TT_NAME_ID_FULL_NAME);
    } else {
        PS_FontInfoRec ps;
        if (freetype().Get_PS_Font_Info(rawFace, &ps) == 0 && ps.full_name)
            info.fullName = ps.full_name;
    }
    if (info.fullName.empty() && rawFace->family_name) {
        info.fullName = rawFace->family_name;
        if (rawFace->style_name && std::string(rawFace->style_name) != "Regular")
            info.fullName += std::string(" ") + rawFace->style_name;
    }
    info.bold = (rawFace->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    info.italic = (rawFace->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    info.hasBuiltinEncoding = readEncoding(rawFace, info);
    readGlyphUnicodes(rawFace, info);
    if (info.glyphUnicodes.empty())
        readGlyphNames(rawFace, info);
    return info;
}

} // namespace platform
