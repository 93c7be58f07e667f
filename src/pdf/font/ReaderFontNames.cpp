#include "pdf/font/ReaderFontNames.h"

#include <cctype>
#include <string_view>

namespace {

constexpr std::string_view kSerif = "Times New Roman";
constexpr std::string_view kSans = "Arial";
constexpr std::string_view kMono = "Courier New";

struct Known {
    std::string_view prefix; // of the name in lower case, letters and digits only
    std::string_view family;
};

// Longest prefix wins, so "arialnarrow" comes before "arial" whatever the order.
constexpr Known kKnown[] = {
    // The standard 14 and their clones: the core families whose widths they share.
    {"helvetica", kSans},
    {"helveticanarrow", "Arial Narrow"},
    {"helveticacondensed", "Arial Narrow"},
    {"arial", kSans},
    {"arialmt", kSans},
    {"arialnarrow", "Arial Narrow"},
    {"arialblack", "Arial Black"},
    {"arialunicodems", "Arial Unicode MS"},
    {"liberationsans", kSans},
    {"liberationsansnarrow", "Arial Narrow"},
    {"nimbussans", kSans},
    {"nimbussanl", kSans},
    {"nimbussansnarrow", "Arial Narrow"},
    {"arimo", kSans},
    {"texgyreheros", kSans},
    {"times", kSerif},
    {"liberationserif", kSerif},
    {"nimbusroman", kSerif},
    {"nimbusromno9l", kSerif},
    {"tinos", kSerif},
    {"texgyretermes", kSerif},
    {"courier", kMono},
    {"liberationmono", kMono},
    {"nimbusmono", kMono},
    {"cousine", kMono},
    {"texgyrecursor", kMono},
    // The other core and office families under their PostScript names.
    {"georgia", "Georgia"},
    {"verdana", "Verdana"},
    {"tahoma", "Tahoma"},
    {"trebuchet", "Trebuchet MS"},
    {"comicsansms", "Comic Sans MS"},
    {"impact", "Impact"},
    {"calibri", "Calibri"},
    {"calibrilight", "Calibri Light"},
    {"cambria", "Cambria"},
    {"cambriamath", "Cambria Math"},
    {"candara", "Candara"},
    {"consolas", "Consolas"},
    {"constantia", "Constantia"},
    {"corbel", "Corbel"},
    {"segoeui", "Segoe UI"},
    {"garamond", "Garamond"},
    {"centurygothic", "Century Gothic"},
    {"bookantiqua", "Book Antiqua"},
    {"bookmanoldstyle", "Bookman Old Style"},
    {"bookman", "Bookman Old Style"},
    {"urwbookman", "Bookman Old Style"},
    {"lucidaconsole", "Lucida Console"},
    {"lucidasansunicode", "Lucida Sans Unicode"},
    {"microsoftsansserif", "Microsoft Sans Serif"},
    {"palatino", "Palatino Linotype"},
    {"urwpalladio", "Palatino Linotype"},
    {"texgyrepagella", "Palatino Linotype"},
    {"newcenturyschlbk", "Century Schoolbook"},
    {"centuryschl", "Century Schoolbook"},
    {"texgyreschola", "Century Schoolbook"},
    // TeX's own faces, rarely installed: a core family of their kind.
    {"lmroman", kSerif},
    {"lmmath", kSerif},
    {"lmsans", kSans},
    {"lmmono", kMono},
    {"cmuserif", kSerif},
    {"cmusans", kSans},
    {"cmutypewriter", kMono},
    {"cmuconcrete", kSerif},
    {"msam", kSerif},
    {"msbm", kSerif},
    {"eufm", kSerif},
    {"eurm", kSerif},
    {"rsfs", kSerif},
    // Symbol, East Asian and free families whose PostScript name hides the family name.
    {"symbolmt", "Symbol"},
    {"wingdings", "Wingdings"},
    {"wingdings2", "Wingdings 2"},
    {"wingdings3", "Wingdings 3"},
    {"msgothic", "MS Gothic"},
    {"mspgothic", "MS PGothic"},
    {"msmincho", "MS Mincho"},
    {"mspmincho", "MS PMincho"},
    {"dejavusans", "DejaVu Sans"},
    {"dejavusansmono", "DejaVu Sans Mono"},
    {"dejavuserif", "DejaVu Serif"},
    {"p052", "Palatino Linotype"},
    {"c059", "Century Schoolbook"},
};

// The first part of the name of a predefined character map, which composite
// fonts append to their font's name ("SimSun-GBK-EUC-H", "LMRoman12-Regular-Identity-H").
constexpr std::string_view kCMapHeads[] = {
    "Identity", "UniGB", "UniJIS",         "UniCNS", "UniKS", "GBK",  "GBK2K", "GB",   "GBpc",
    "GBT",      "ETen",  "ETenms",         "ETHK",   "HKscs", "B5pc", "B5",    "CNS1", "CNS2",
    "90ms",     "90msp", "90pv",           "83pv",   "Ext",   "RKSJ", "EUC",   "KSC",  "KSCms",
    "KSCpc",    "Adobe", "WinCharSetFFFF",
};

struct TeXFace {
    std::string_view letters; // between "cm" or "sf" and the design size
    std::string_view family;
    bool bold;
    bool italic;
};

// Computer Modern: cmr10, cmbx12, cmti10, cmss10, cmtt10, ...
constexpr TeXFace kComputerModern[] = {
    {"r", kSerif, false, false},   {"b", kSerif, true, false},   {"bx", kSerif, true, false},
    {"ti", kSerif, false, true},   {"sl", kSerif, false, true},  {"u", kSerif, false, true},
    {"bxti", kSerif, true, true},  {"bxsl", kSerif, true, true}, {"csc", kSerif, false, false},
    {"mi", kSerif, false, true},   {"mib", kSerif, true, true},  {"sy", kSerif, false, false},
    {"bsy", kSerif, true, false},  {"ex", kSerif, false, false}, {"dunh", kSerif, false, false},
    {"fib", kSerif, false, false}, {"fi", kSerif, false, true},  {"ss", kSans, false, false},
    {"ssbx", kSans, true, false},  {"ssi", kSans, false, true},  {"ssdc", kSans, true, false},
    {"ssq", kSans, false, false},  {"ssqi", kSans, false, true}, {"tt", kMono, false, false},
    {"itt", kMono, false, true},   {"sltt", kMono, false, true}, {"tcsc", kMono, false, false},
    {"vtt", kMono, false, false},
};

// Its cm-super Type 1 versions: sfrm1000, sfbx1200, sftt1000, ...
constexpr TeXFace kCMSuper[] = {
    {"rm", kSerif, false, false}, {"bx", kSerif, true, false}, {"ti", kSerif, false, true},
    {"sl", kSerif, false, true},  {"bi", kSerif, true, true},  {"cc", kSerif, false, false},
    {"ss", kSans, false, false},  {"sx", kSans, true, false},  {"si", kSans, false, true},
    {"tt", kMono, false, false},  {"it", kMono, false, true},  {"st", kMono, false, true},
};

template <size_t N>
std::optional<ReaderFontFace> findTeXFace(const TeXFace (&faces)[N], std::string_view letters) {
    for (const TeXFace& f : faces)
        if (f.letters == letters)
            return ReaderFontFace{std::string(f.family), f.bold, f.italic};
    return std::nullopt;
}

// A TeX face: "cm" or "sf", the face's letters, then its design size.
std::optional<ReaderFontFace> texFace(const std::string& key) {
    const bool cm = key.compare(0, 2, "cm") == 0;
    if (key.size() < 4 || !(cm || key.compare(0, 2, "sf") == 0))
        return std::nullopt;
    size_t end = key.size();
    while (end > 2 && std::isdigit(static_cast<unsigned char>(key[end - 1])))
        --end;
    if (end == key.size() || end == 2)
        return std::nullopt;
    const std::string_view letters = std::string_view(key).substr(2, end - 2);
    return cm ? findTeXFace(kComputerModern, letters) : findTeXFace(kCMSuper, letters);
}

/// The name without the character map a composite font's name ends in.
std::string withoutCMapName(const std::string& name) {
    if (name.size() < 4 || name[name.size() - 2] != '-' ||
        (name.back() != 'H' && name.back() != 'V'))
        return name;
    for (size_t dash = name.find('-'); dash != std::string::npos && dash + 2 < name.size();
         dash = name.find('-', dash + 1)) {
        const size_t end = name.find('-', dash + 1);
        const std::string_view part = std::string_view(name).substr(dash + 1, end - dash - 1);
        for (std::string_view head : kCMapHeads)
            if (part == head)
                return name.substr(0, dash);
    }
    return name;
}

} // namespace

std::optional<ReaderFontFace> readerFontFace(const std::string& composedName) {
    const std::string fontName = withoutCMapName(composedName);
    std::string key;
    for (unsigned char c : fontName)
        if (std::isalnum(c))
            key.push_back(static_cast<char>(std::tolower(c)));
    if (key.empty())
        return fontName == composedName ? std::nullopt
                                        : std::optional<ReaderFontFace>(ReaderFontFace{fontName});
    if (auto tex = texFace(key))
        return tex;
    const Known* best = nullptr;
    for (const Known& k : kKnown)
        if (key.compare(0, k.prefix.size(), k.prefix) == 0 &&
            (!best || k.prefix.size() > best->prefix.size()))
            best = &k;
    if (!best && fontName == composedName)
        return std::nullopt;
    ReaderFontFace face{std::string(best ? best->family : fontName)};
    // Condensed Helvetica is set narrow ("HelveticaLTStd-LightCond", "HelveticaNeueLTStd-Cn").
    if (face.family == kSans &&
        (key.find("cond") != std::string::npos || key.find("narrow") != std::string::npos ||
         (key.size() > 2 && key.compare(key.size() - 2, 2, "cn") == 0)))
        face.family = "Arial Narrow";
    // The style after "-" or ",": URW's and TeX's abbreviations ("Medi",
    // "Demi", "ReguItal", "Slant") that the usual name tests do not read.
    const size_t cut = fontName.find_first_of("-,");
    if (cut != std::string::npos) {
        std::string style;
        for (size_t i = cut + 1; i < fontName.size(); ++i)
            style.push_back(
                static_cast<char>(std::tolower(static_cast<unsigned char>(fontName[i]))));
        face.bold =
            style.find("medi") != std::string::npos && style.find("medium") == std::string::npos;
        face.bold = face.bold || style.find("demi") != std::string::npos;
        face.italic =
            style.find("ital") != std::string::npos || style.find("slant") != std::string::npos;
    }
    // LM's faces carry their style in the family part (LMRomanSlant10, LMMathItalic10).
    if (key.compare(0, 2, "lm") == 0 &&
        (key.find("slant") != std::string::npos || key.find("italic") != std::string::npos))
        face.italic = true;
    if (key.compare(0, 2, "lm") == 0 && key.find("demi") != std::string::npos)
        face.bold = true;
    return face;
}
