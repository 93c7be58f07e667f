#include "pdf/font/ReaderFontNames.h"

#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontDescriptor.h"

#include <cctype>
#include <cmath>
#include <utility>
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
    {"nimbusmonl", kMono, K::Mono},
    {"nimbussanslt", kSans, K::Sans},
    // East Asian families: their own names, which the readers of those
    // scripts have and which carry glyphs no core family has.
    {"simsun", "SimSun", K::Serif},
    {"nsimsun", "NSimSun", K::Serif},
    {"songti", "Songti SC", K::Serif},
    {"simhei", "SimHei", K::Sans},
    {"kaiti", "KaiTi", K::Serif},
    {"fangsong", "FangSong", K::Serif},
    {"stsong", "STSong", K::Serif},
    {"stfangsong", "STFangsong", K::Serif},
    {"stxihei", "STXihei", K::Sans},
    {"stheiti", "STHeiti", K::Sans},
    {"stkaiti", "STKaiti", K::Serif},
    {"stzhongsong", "STZhongsong", K::Serif},
    {"microsoftyahei", "MicrosoftYaHei", K::Sans},
    {"mingliu", "MingLiU", K::Serif},
    {"pmingliu", "PMingLiU", K::Serif},
    {"adobesongstd", "SimSun", K::Serif},
    {"adobeheitistd", "SimHei", K::Sans},
    {"adobekaitistd", "KaiTi", K::Serif},
    {"adobefangsongstd", "FangSong", K::Serif},
    {"adobemingstd", "MingLiU", K::Serif},
    {"stdsong", "SimSun", K::Serif},
    {"meiryo", "Meiryo", K::Sans},
    {"yugothic", "Yu Gothic", K::Sans},
    {"yumincho", "Yu Mincho", K::Serif},
    {"kozminpro", "MS Mincho", K::Serif},
    {"kozminstd", "MS Mincho", K::Serif},
    {"kozgopro", "MS Gothic", K::Sans},
    {"kozgostd", "MS Gothic", K::Sans},
    {"heiseimin", "MS Mincho", K::Serif},
    {"heiseikakugo", "MS Gothic", K::Sans},
    {"batang", "Batang", K::Serif},
    {"gulim", "Gulim", K::Sans},
    {"dotum", "Dotum", K::Sans},
    {"malgungothic", "Malgun Gothic", K::Sans},
    {"adobemyungjostd", "Batang", K::Serif},
    {"notosanscjk", "Noto Sans CJK SC", K::Sans},
    {"notoserifcjk", "Noto Serif CJK SC", K::Serif},
    {"sourcehansans", "Source Han Sans", K::Sans},
    {"sourcehanserif", "Source Han Serif", K::Serif},
    {"pingfang", "PingFang SC", K::Sans},
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

namespace {

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool hasNonAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return true;
    return false;
}

struct NameStyle {
    std::string base; ///< the name without its style part and vendor suffixes
    bool bold = false;
    bool italic = false;
    bool said = false; ///< the name names a style, "Regular" included
};

// Style words as names spell them, whole or abbreviated, in lower case.
constexpr std::string_view kBoldWords[] = {"bold", "black", "heavy", "demi", "semibold",
                                           "extrabold", "ultrabold", "bd", "blk", "sb",
                                           "medi", "hv", "bla"};
constexpr std::string_view kItalicWords[] = {"italic", "ital", "oblique", "obl", "slanted",
                                             "slant", "inclined", "it", "kursiv", "i"};
constexpr std::string_view kPlainWords[] = {"regular", "regu", "roman", "roma", "book",
                                            "normal", "plain", "light", "lt", "medium",
                                            "md", "reg", "rg", "thin", "condensed", "cond",
                                            "cn", "narrow", "mt", "ps", "psmt"};

// Splits a style part such as "BoldItalicMT", "ReguItal" or "SemiboldIt"
// into the styles it names; `said` when every letter of it is accounted for.
NameStyle readStylePart(std::string_view part) {
    NameStyle st;
    std::string rest = lowerAscii(part);
    bool known = true;
    while (!rest.empty() && known) {
        known = false;
        size_t best = 0;
        int which = 0;
        for (std::string_view w : kBoldWords)
            if (rest.compare(0, w.size(), w) == 0 && w.size() > best)
                best = w.size(), which = 1;
        for (std::string_view w : kItalicWords)
            if (rest.compare(0, w.size(), w) == 0 && w.size() > best)
                best = w.size(), which = 2;
        for (std::string_view w : kPlainWords)
            if (rest.compare(0, w.size(), w) == 0 && w.size() > best)
                best = w.size(), which = 3;
        if (best == 0)
            break;
        known = true;
        st.bold = st.bold || which == 1;
        st.italic = st.italic || which == 2;
        rest.erase(0, best);
    }
    st.said = known && rest.empty();
    if (!st.said)
        st.bold = st.italic = false;
    return st;
}

// "Melior-Bold" is Melior, bold; "AGaramondPro-SemiboldItalic" is AGaramondPro,
// bold and italic; "TimesNewRomanPS-ItalicMT" is TimesNewRoman, italic;
// "NimbusMonL-Regu" is NimbusMonL, plain; "FooBoldItalic" is Foo, bold italic.
NameStyle nameStyle(const std::string& name) {
    NameStyle st;
    const size_t cut = name.find_first_of("-,");
    st.base = name.substr(0, cut);
    if (cut != std::string::npos)
        st = [&] {
            NameStyle part = readStylePart(std::string_view(name).substr(cut + 1));
            part.base = name.substr(0, cut);
            return part;
        }();
    // Style words glued to the family: "ArialBold", "TimesNewRomanBoldItalic".
    const std::string lower = lowerAscii(st.base);
    for (std::string_view w : {"bolditalic", "boldoblique", "bold", "italic", "oblique"}) {
        const size_t at = lower.size() > w.size() + 2 ? lower.rfind(w) : std::string::npos;
        if (at != std::string::npos && at > 2 && at + w.size() == lower.size()) {
            st.bold = st.bold || w.find("bold") != std::string_view::npos;
            st.italic = st.italic || w.find("italic") != std::string_view::npos ||
                        w.find("oblique") != std::string_view::npos;
            st.said = true;
            st.base.erase(at);
            break;
        }
    }
    // Vendor suffixes of PostScript names: "TimesNewRomanPSMT", "ArialMT".
    for (std::string_view suffix : {"PSMT", "MT", "PS"})
        if (st.base.size() > suffix.size() + 2 &&
            st.base.compare(st.base.size() - suffix.size(), suffix.size(), suffix) == 0) {
            st.base.erase(st.base.size() - suffix.size());
            break;
        }
    return st;
}

// A vertical stem this wide (in thousandths of an em) is a bold face's:
// regular text faces have about 70 to 100, bold ones 120 to 200; larger
// values are a symbol font's or made up.
constexpr double kBoldStemMin = 120;
constexpr double kStemMax = 300;
// An Arial-like face this narrow on average is a condensed one.
constexpr double kNarrowAverageWidth = 380;

} // namespace

ReaderFontFace readerFontFor(const std::string& composedName, const std::string& familyName,
                             const ReaderFontFacts& facts) {
    const std::string fontName = withoutCMapName(composedName);
    const NameStyle style = nameStyle(fontName);
    std::optional<ReaderFontFace> known = readerFontFace(fontName);
    if (!known && !familyName.empty())
        known = readerFontFace(familyName);
    if (!known && !style.base.empty() && style.base != fontName)
        known = readerFontFace(style.base);
    if (!known && lowerAscii(style.base) == "symbol")
        known = ReaderFontFace{"Symbol"};

    ReaderFontFace face;
    if (known) {
        face = *known;
    } else if (!style.base.empty() && hasNonAscii(style.base)) {
        // A name in its own script ("宋体", "ＭＳ 明朝"): a reader of that
        // script has it, and no core family has its glyphs.
        face.family = style.base;
    } else {
        // A family no reader can be expected to have: the core family of
        // its kind, from its name's words, else from the descriptor.
        ReaderFontKind kind = readerFontKind(fontName);
        if (kind == K::Unknown && !familyName.empty())
            kind = readerFontKind(familyName);
        if (kind == K::Unknown && facts.hasDescriptor)
            kind = facts.fixedPitch ? K::Mono : facts.serif ? K::Serif : K::Sans;
        if (kind == K::Unknown)
            kind = K::Sans;
        face.kind = kind;
        const std::string key = lowerAscii(fontName);
        const bool narrow =
            key.find("cond") != std::string::npos || key.find("narrow") != std::string::npos ||
            key.find("compress") != std::string::npos ||
            (facts.averageWidth > 0 && facts.averageWidth < kNarrowAverageWidth);
        face.family = std::string(kind == K::Mono    ? kMono
                                  : kind == K::Serif ? kSerif
                                  : narrow           ? std::string_view("Arial Narrow")
                                                     : kSans);
    }
    if (face.kind == K::Unknown && face.family != "Symbol" &&
        face.family.compare(0, 9, "Wingdings") != 0 && facts.hasDescriptor && !facts.symbolic)
        face.kind = facts.fixedPitch ? K::Mono : facts.serif ? K::Serif : K::Sans;

    const std::string lower = lowerAscii(fontName);
    const bool nameBold = lower.find("bold") != std::string::npos ||
                          lower.find("-bd") != std::string::npos ||
                          lower.find("-blk") != std::string::npos;
    const bool nameItalic =
        lower.find("italic") != std::string::npos || lower.find("oblique") != std::string::npos;
    // "Arial-Black" is the family Arial Black, not a bold one.
    const bool styleBold =
        style.bold && !(known && lowerAscii(face.family).find("black") != std::string::npos);
    face.bold = face.bold || styleBold || nameBold || facts.forceBold || facts.weight >= 600;
    face.italic = face.italic || style.italic || nameItalic || facts.italic;
    // Where the name says nothing of its style, what the font itself says:
    // its slant, its stems and its program's own style.
    if (!style.said && !nameBold && !nameItalic && !known) {
        face.bold = face.bold || facts.programBold ||
                    (!facts.symbolic && facts.stemV >= kBoldStemMin && facts.stemV <= kStemMax);
        face.italic = face.italic || facts.programItalic ||
                      (!facts.symbolic && std::fabs(facts.italicAngle) >= 4);
    }
    return face;
}

ReaderFontTableEntry readerFontTableEntry(const std::string& family, ReaderFontKind kind) {
    const std::string key = lowerAscii(family);
    if (key == "symbol" || key.compare(0, 9, "wingdings") == 0 ||
        key.find("dingbat") != std::string::npos || key == "webdings")
        return {key == "symbol" ? "roman" : "auto", "variable", "02", family};
    if (family == kSerif || family == kSans || family == kMono)
        kind = coreKind(family);
    ReaderFontTableEntry e;
    e.charset = "00";
    // The East Asian families' character sets let a reader pick a font of the
    // script: GB2312, Big5, Shift JIS, Hangul.
    for (const auto& [prefix, charset] :
         {std::pair<std::string_view, std::string_view>{"simsun", "86"},
          {"nsimsun", "86"}, {"simhei", "86"}, {"kaiti", "86"}, {"fangsong", "86"},
          {"stsong", "86"}, {"stfangsong", "86"}, {"stxihei", "86"}, {"stheiti", "86"},
          {"stkaiti", "86"}, {"stzhongsong", "86"}, {"microsoftyahei", "86"}, {"songti", "86"}, {"mingliu", "88"},
          {"pmingliu", "88"}, {"ms ", "80"}, {"meiryo", "80"}, {"yu ", "80"},
          {"batang", "81"}, {"gulim", "81"}, {"dotum", "81"}, {"malgun", "81"}})
        if (key.compare(0, prefix.size(), prefix) == 0 &&
            (prefix != "ms " || key.find("gothic") != std::string::npos ||
             key.find("mincho") != std::string::npos))
            e.charset = std::string(charset);
    switch (kind) {
    case K::Mono:
        e.family = "modern";
        e.pitch = "fixed";
        e.altName = std::string(kMono);
        break;
    case K::Serif:
        e.family = "roman";
        e.pitch = "variable";
        e.altName = std::string(kSerif);
        break;
    case K::Sans:
        e.family = "swiss";
        e.pitch = "variable";
        e.altName = std::string(kSans);
        break;
    case K::Unknown:
        e.family = "auto";
        e.pitch = "variable";
        e.altName = family;
        break;
    }
    if (e.charset != "00")
        e.altName = family;
    return e;
}

ReaderFontFace readerFontFor(const QVPDFFont& font) {
    ReaderFontFacts facts;
    if (const auto& d = font.fontDescriptor()) {
        facts.hasDescriptor = true;
        facts.fixedPitch = d->isFixedWidth();
        facts.serif = d->isSerif();
        facts.symbolic = d->isSymbolic();
        facts.italic = d->isItalic();
        facts.forceBold = (d->flags() & (1u << 18)) != 0;
        facts.italicAngle = d->italicAngle();
        facts.weight = d->fontWeight();
        facts.stemV = d->verticalStemWidth();
        facts.averageWidth = d->averageWidth() * 1000.0; // kept in ems
        if (const auto& program = d->embFont()) {
            facts.programBold = program->bold;
            facts.programItalic = program->italic;
        }
    }
    const std::string name =
        font.fontName() && !font.fontName()->empty() ? *font.fontName() : "Arial Unicode MS";
    return readerFontFor(name, font.fontFamilyName().value_or(""), facts);
}
