#include "pdf/font/QVPDFFontUtilities.h"

#include "platform/PropertyList.h"
#include "platform/text/Utf.h"

#include "pdf/font/BuiltinFontWidths.h"
#include "pdf/font/QVPDFFontData.h"
#include "platform/Files.h"
#include "platform/Resources.h"
#include "platform/text/UnicodeText.h"


#include <algorithm>
#include <cctype>

namespace {

std::string lowercaseAscii(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool containsAny(const std::string& haystack, std::initializer_list<const char*> needles) {
    for (const char* n : needles)
        if (haystack.find(n) != std::string::npos)
            return true;
    return false;
}

/// Length of the valid UTF-8 sequence at i, or 0.
size_t utf8SequenceAt(const std::string& s, size_t i, char32_t* cp) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    size_t n;
    char32_t c;
    if (b < 0x80) {
        *cp = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        c = b & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (t & 0x3F);
    }
    if ((n == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
        (n == 4 && (c < 0x10000 || c > 0x10FFFF)))
        return 0;
    *cp = c;
    return n;
}

} // namespace

std::u16string QVPDFFontUtilities::normalisedForScore(const std::string& s) {
    std::u16string decomposed =
        platform::canonicalDecomposition(QVPDFFontUtilities::utf8ToUtf16(s));
    std::u16string out;
    for (size_t i = 0; i < decomposed.size(); ++i) {
        char32_t c = decomposed[i];
        size_t units = 1;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < decomposed.size() && decomposed[i + 1] >= 0xDC00 &&
            decomposed[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (decomposed[i + 1] - 0xDC00);
            units = 2;
        }
        if (c == U' ' || platform::isCasedLetter(c))
            out.append(decomposed, i, units);
        i += units - 1;
    }
    return out;
}

bool QVPDFFontUtilities::isBoldFontName(const std::optional<std::string>& name) {
    if (!name || name->empty())
        return false;
    // "-md" (medium) is not bold.
    return containsAny(lowercaseAscii(*name), {"bold", "-bd", "-blk"});
}

bool QVPDFFontUtilities::isItalicFontName(const std::optional<std::string>& name) {
    if (!name || name->empty())
        return false;
    return containsAny(lowercaseAscii(*name), {"italic", "oblique"});
}

std::string QVPDFFontUtilities::FamilyNameCut(const std::string& name) {
    size_t p = name.find('-');
    if (p == std::string::npos)
        p = name.find(',');
    return p == std::string::npos ? name : name.substr(0, p);
}

bool QVPDFFontUtilities::isHaveFullName(const std::vector<Face>& faces,
                                        const std::string& familyName) {
    return std::any_of(faces.begin(), faces.end(),
                       [&](const Face& f) { return f.fullName == familyName; });
}

double QVPDFFontUtilities::score(const std::string& string, const std::string& abbreviation,
                                 std::optional<double> fuzziness, unsigned options) {
    return scoreNormalised(normalisedForScore(string), normalisedForScore(abbreviation), fuzziness,
                           options);
}

double QVPDFFontUtilities::scoreNormalised(const std::u16string& S, const std::u16string& A,
                                           std::optional<double> fuzziness, unsigned options) {
    // Texts without cased letters cannot be compared (and would divide by zero).
    if (S.empty() || A.empty())
        return 0.0;
    if (S == A)
        return 1.0;
    double total = 0.0;
    double fuzzies = 1.0;
    bool startBonus = false;
    std::u16string_view rest(S);
    for (size_t i = 0; i < A.size(); ++i) {
        char16_t c = A[i];
        size_t lower = rest.find(static_cast<char16_t>(platform::simpleLowercase(c)));
        size_t upper = rest.find(static_cast<char16_t>(platform::simpleUppercase(c)));
        if (lower == std::u16string_view::npos && upper == std::u16string_view::npos) {
            if (!fuzziness)
                return 0.0;
            fuzzies += static_cast<float>(1.0f - static_cast<float>(*fuzziness));
            total += 0.1;
            continue;
        }
        size_t p = std::min(lower, upper);
        double charScore = rest[p] == c ? 0.2 : 0.1;
        if (p == 0) {
            charScore += 0.6;
            if (i == 0)
                startBonus = true;
        } else if (rest[p - 1] == u' ') {
            charScore += 0.8;
        }
        rest = rest.substr(p + 1);
        total += charScore;
    }
    const double lenS = static_cast<double>(S.size());
    const double lenA = static_cast<double>(A.size());
    if (options & 2)
        return total / lenS;
    double a = total / lenA;
    double r = (options & 4) ? static_cast<double>(A.size() / S.size()) : lenA / lenS;
    double result = ((a * r + a) / 2) / fuzzies;
    if (startBonus && result + 0.15 < 1)
        result += 0.15;
    return result;
}

std::optional<QVPDFFontUtilities::Catalogue>
QVPDFFontUtilities::readCatalogue(const std::string& path) {
    std::optional<platform::PropertyListValue> root = platform::readPropertyList(path);
    if (!root || root->type != platform::PropertyListValue::Type::Dictionary)
        return std::nullopt;
    using Type = platform::PropertyListValue::Type;
    Catalogue catalogue;
    // Family name -> { face name -> { "PostScript name", "Full name" } }.
    for (size_t i = 0; i < root->keys.size() && i < root->values.size(); ++i) {
        const platform::PropertyListValue& faces = root->values[i];
        if (faces.type != Type::Dictionary)
            continue;
        Family family{root->keys[i], {}};
        for (const platform::PropertyListValue& face : faces.values) {
            if (face.type != Type::Dictionary)
                continue;
            Face f;
            f.postScriptName = face.stringForKey("PostScript name").value_or("");
            f.fullName = face.stringForKey("Full name").value_or("");
            f.normalisedPostScriptName = normalisedForScore(f.postScriptName);
            family.faces.push_back(std::move(f));
        }
        family.normalisedName = normalisedForScore(family.name);
        catalogue.push_back(std::move(family));
    }
    return catalogue;
}

const QVPDFFontUtilities::Catalogue* QVPDFFontUtilities::sharedCatalogue() {
    // Read once per process; every call sees the same contents.
    static const std::optional<Catalogue> catalogue = [] {
        std::string path =
            platform::appendPathComponent(platform::resourceRoot(), "FontBook.plist");
        return platform::pathExists(path) ? readCatalogue(path) : std::nullopt;
    }();
    return catalogue ? &*catalogue : nullptr;
}

std::optional<std::string> QVPDFFontUtilities::FamilyName(const std::optional<std::string>& name) {
    return FamilyNameFuzzyMatch(name);
}

std::optional<std::string>
QVPDFFontUtilities::FamilyNameFuzzyMatch(const std::optional<std::string>& name) {
    if (!name || name->empty())
        return std::nullopt;
    const Catalogue* catalogue = sharedCatalogue();
    if (!catalogue)
        return std::nullopt;
    return FamilyNameFuzzyMatch(name, *catalogue);
}

std::optional<std::string>
QVPDFFontUtilities::FamilyNameFuzzyMatch(const std::optional<std::string>& name,
                                         const Catalogue& catalogue) {
    if (!name || name->empty())
        return std::nullopt;
    const std::string& n = *name;
    if (catalogue.empty())
        return n;
    std::optional<std::string> best;
    double bestScore = 0.0;
    const std::u16string S = normalisedForScore(n);
    auto normalised = [](const std::u16string& cached, const std::string& text) {
        return cached.empty() ? normalisedForScore(text) : cached;
    };
    for (const Family& family : catalogue) {
        if (family.name == n)
            return family.name;
        double s = scoreNormalised(S, normalised(family.normalisedName, family.name), 0.8, 1);
        if (s > bestScore) {
            best = family.name;
            bestScore = s;
        }
        bool hasFull = isHaveFullName(family.faces, family.name);
        for (const Face& face : family.faces) {
            if (face.postScriptName == n)
                return hasFull ? family.name : face.fullName;
            s = scoreNormalised(S, normalised(face.normalisedPostScriptName, face.postScriptName),
                                0.8, 1);
            if (s > bestScore) {
                best = hasFull ? family.name : face.fullName;
                bestScore = s;
            }
        }
    }
    return bestScore > 0.5 && best ? *best : n;
}

std::string QVPDFFontUtilities::validUTF8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t c;
        size_t n = utf8SequenceAt(bytes, i, &c);
        if (n == 0) {
            platform::appendUTF8(out, static_cast<unsigned char>(bytes[i]));
            ++i;
        } else {
            out.append(bytes, i, n);
            i += n;
        }
    }
    return out;
}

namespace {

// Ideographs, kana, hangul, CJK punctuation and full-width forms: what the
// name of an East Asian font holds besides ASCII.
bool isEastAsianCharacter(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

bool isValidUTF8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        char32_t c;
        const size_t n = utf8SequenceAt(s, i, &c);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

// Every non-ASCII character East Asian, and two of them in a row somewhere:
// a Latin name with one accented letter ("Fr\xfctiger") also decodes in GBK,
// as one stray ideograph between Latin letters.
bool readsAsEastAsianName(const std::string& utf8) {
    bool pair = false;
    bool previous = false;
    for (size_t i = 0; i < utf8.size();) {
        char32_t c;
        const size_t n = utf8SequenceAt(utf8, i, &c);
        if (n == 0)
            return false;
        i += n;
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                return false;
            previous = false;
            continue;
        }
        if (!isEastAsianCharacter(c))
            return false;
        pair = pair || previous;
        previous = true;
    }
    return pair;
}

} // namespace

std::optional<std::string> QVPDFFontUtilities::legacyCJKFontName(const std::string& bytes) {
    if (isValidUTF8(bytes))
        return std::nullopt;
    // GB2312's characters (both bytes from 0xA1) are the common Chinese
    // names; Shift-JIS names ("\x82\x6C\x82\x72" for ＭＳ) would read as
    // rare characters of GBK's extension, so they are tried before the rest of GBK.
    bool gb2312 = true;
    for (size_t i = 0; i < bytes.size() && gb2312; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80)
            continue;
        const auto t = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        gb2312 = b >= 0xA1 && b <= 0xFE && t >= 0xA1 && t <= 0xFE;
        ++i;
    }
    const char* const order[] = {gb2312 ? "GBK" : nullptr, "SHIFT_JIS", "BIG5", "GBK", "EUC-KR"};
    for (const char* encoding : order) {
        if (!encoding)
            continue;
        auto decoded = platform::legacyToUTF8(bytes, encoding);
        if (decoded && readsAsEastAsianName(*decoded))
            return decoded;
    }
    return std::nullopt;
}

std::string QVPDFFontUtilities::fontNameToUTF8(const std::string& bytes) {
    if (auto decoded = legacyCJKFontName(bytes))
        return *decoded;
    return validUTF8(bytes);
}

std::string QVPDFFontUtilities::textStringToUTF8(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF) {
        std::u16string units;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            units += static_cast<char16_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                           static_cast<unsigned char>(bytes[i + 1]));
        return utf16ToUtf8(units);
    }
    std::string out;
    for (unsigned char b : bytes) {
        const char* glyph = fontdata::kPDFDocEncoding[b];
        std::u16string text = glyph ? BuiltinFontWidths::unicodeForGlyphName(glyph) : u"";
        if (text.empty())
            platform::appendUTF8(out, b);
        else
            out += utf16ToUtf8(text);
    }
    return out;
}

std::u16string QVPDFFontUtilities::utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        char32_t c;
        size_t n = utf8SequenceAt(utf8, i, &c);
        if (n == 0) {
            c = 0xFFFD;
            n = 1;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += n;
    }
    return out;
}

std::string QVPDFFontUtilities::utf16ToUtf8(const std::u16string& utf16) {
    return platform::utf16ToUTF8(utf16);
}

