#include "pdf/font/ReaderFontNames.h"

#include <cctype>
#include <string_view>

namespace {

constexpr std::string_view kSerif = "Times New Roman";
constexpr std::string_view kSans = "Arial";
constexpr std::string_view kMono = "Courier New";

using K = ReaderFontKind;

struct Known {
    std::string_view prefix; // of the name in lower case, letters and digits only
    std::string_view family;
    ReaderFontKind kind;
};

// The kind of one of the three core families TeX's faces stand in for.
ReaderFontKind coreKind(std::string_view family) {
    return family == kSans ? K::Sans : family == kMono ? K::Mono : K::Serif;
}

// Longest prefix wins, so "arialnarrow" comes before "arial" whatever the order.
constexpr Known kKnown[] = {
    // The standard 14 and their clones: the core families whose widths they share.
    {"helvetica", kSans, K::Sans},
    {"helveticanarrow", "Arial Narrow", K::Sans},
    {"helveticacondensed", "Arial Narrow", K::Sans},
    {"arial", kSans, K::Sans},
    {"arialmt", kSans, K::Sans},
    {"arialnarrow", "Arial Narrow", K::Sans},
    {"arialblack", "Arial Black", K::Sans},
    {"arialunicodems", "Arial Unicode MS", K::Sans},
    {"liberationsans", kSans, K::Sans},
    {"liberationsansnarrow", "Arial Narrow", K::Sans},
    {"nimbussans", kSans, K::Sans},
    {"nimbussanl", kSans, K::Sans},
    {"nimbussansnarrow", "Arial Narrow", K::Sans},
    {"arimo", kSans, K::Sans},
    {"texgyreheros", kSans, K::Sans},
    {"times", kSerif, K::Serif},
    {"liberationserif", kSerif, K::Serif},
    {"nimbusroman", kSerif, K::Serif},
    {"nimbusromno9l", kSerif, K::Serif},
    {"tinos", kSerif, K::Serif},
    {"texgyretermes", kSerif, K::Serif},
    {"courier", kMono, K::Mono},
    {"liberationmono", kMono, K::Mono},
    {"nimbusmono", kMono, K::Mono},
    {"cousine", kMono, K::Mono},
    {"texgyrecursor", kMono, K::Mono},
    // The other core and office families under their PostScript names.
    {"georgia", "Georgia", K::Serif},
    {"verdana", "Verdana", K::Sans},
    {"tahoma", "Tahoma", K::Sans},
    {"trebuchet", "Trebuchet MS", K::Sans},
    {"comicsansms", "Comic Sans MS", K::Sans},
    {"impact", "Impact", K::Sans},
    {"calibri", "Calibri", K::Sans},
    {"calibrilight", "Calibri Light", K::Sans},
    {"cambria", "Cambria", K::Serif},
    {"cambriamath", "Cambria Math", K::Serif},
    {"candara", "Candara", K::Sans},
    {"consolas", "Consolas", K::Mono},
    {"constantia", "Constantia", K::Serif},
    {"corbel", "Corbel", K::Sans},
    {"segoeui", "Segoe UI", K::Sans},
    {"garamond", "Garamond", K::Serif},
    {"centurygothic", "Century Gothic", K::Sans},
    {"bookantiqua", "Book Antiqua", K::Serif},
    {"bookmanoldstyle", "Bookman Old Style", K::Serif},
    {"bookman", "Bookman Old Style", K::Serif},
    {"urwbookman", "Bookman Old Style", K::Serif},
    {"lucidaconsole", "Lucida Console", K::Mono},
    {"lucidasansunicode", "Lucida Sans Unicode", K::Sans},
    {"microsoftsansserif", "Microsoft Sans Serif", K::Sans},
    {"palatino", "Palatino Linotype", K::Serif},
    {"urwpalladio", "Palatino Linotype", K::Serif},
    {"texgyrepagella", "Palatino Linotype", K::Serif},
    {"newcenturyschlbk", "Century Schoolbook", K::Serif},
    {"centuryschl", "Century Schoolbook", K::Serif},
    {"texgyreschola", "Century Schoolbook", K::Serif},
    // TeX's own faces, rarely installed: a core family of their kind.
    {"lmroman", kSerif, K::Serif},
    {"lmmath", kSerif, K::Serif},
    {"lmsans", kSans, K::Sans},
    {"lmmono", kMono, K::Mono},
    {"cmuserif", kSerif, K::Serif},
    {"cmusans", kSans, K::Sans},
    {"cmutypewriter", kMono, K::Mono},
    {"cmuconcrete", kSerif, K::Serif},
    {"msam", kSerif, K::Serif},
    {"msbm", kSerif, K::Serif},
    {"eufm", kSerif, K::Serif},
    {"eurm", kSerif, K::Serif},
    {"rsfs", kSerif, K::Serif},
    // Symbol, East Asian and free families whose PostScript name hides the family name.
    {"symbolmt", "Symbol", K::Unknown},
    {"wingdings", "Wingdings", K::Unknown},
    {"wingdings2", "Wingdings 2", K::Unknown},
    {"wingdings3", "Wingdings 3", K::Unknown},
    {"msgothic", "MS Gothic", K::Sans},
    {"mspgothic", "MS PGothic", K::Sans},
    {"msmincho", "MS Mincho", K::Serif},
    {"mspmincho", "MS PMincho", K::Serif},
    {"dejavusans", "DejaVu Sans", K::Sans},
    {"dejavusansmono", "DejaVu Sans Mono", K::Mono},
    {"dejavuserif", "DejaVu Serif", K::Serif},
    {"p052", "Palatino Linotype", K::Serif},
    {"c059", "Century Schoolbook", K::Serif},
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
            return ReaderFontFace{std::string(f.family), f.bold, f.italic, coreKind(f.family)};
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
    face.kind = best ? best->kind : K::Unknown;
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

ReaderFontKind readerFontKind(const std::string& fontName) {
    if (const std::optional<ReaderFontFace> face = readerFontFace(fontName))
        if (face->kind != ReaderFontKind::Unknown)
            return face->kind;
    std::string key;
    for (unsigned char c : fontName)
        if (std::isalnum(c))
            key.push_back(static_cast<char>(std::tolower(c)));
    const auto has = [&key](std::string_view word) { return key.find(word) != std::string::npos; };
    // "Sans" first: "PTSansSerif" and "MicrosoftSansSerif" are sans faces.
    if (has("mono") || has("typewriter") || has("courier"))
        return K::Mono;
    if (has("sans") || has("gothic") || has("grotesk"))
        return K::Sans;
    if (has("serif") || has("roman") || has("mincho"))
        return K::Serif;
    return K::Unknown;
}
