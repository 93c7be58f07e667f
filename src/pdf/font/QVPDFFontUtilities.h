#pragma once
// Font properties from names: bold and italic tests, a fuzzy string score, the
// match of a font name against the "FontBook" family catalogue, a plain cut of
// a name at its first "-" or ",", and the text conversions font names need.

#include <optional>
#include <string>
#include <vector>

class QVPDFFontUtilities {
public:
    QVPDFFontUtilities() = delete;

    struct Face {
        std::string postScriptName;
        std::string fullName;
        /// The PostScript name as the score compares it; filled by readCatalogue
        /// (empty: worked out when needed).
        std::u16string normalisedPostScriptName = {};
    };
    struct Family {
        std::string name;
        std::vector<Face> faces; // in the catalogue's order
        std::u16string normalisedName = {};
    };
    /// The family catalogue, families in the file's order.
    using Catalogue = std::vector<Family>;

    /// True when the lower-case name contains "bold", "-bd" or "-blk".
    static bool isBoldFontName(const std::optional<std::string>& name);
    /// True when the lower-case name contains "italic" or "oblique".
    static bool isItalicFontName(const std::optional<std::string>& name);

    /// `FamilyNameFuzzyMatch` against the shared catalogue.
    static std::optional<std::string> FamilyName(const std::optional<std::string>& name);
    /// None for no or an empty name and when the catalogue cannot be read.
    static std::optional<std::string> FamilyNameFuzzyMatch(const std::optional<std::string>& name);
    /// The match against a given catalogue: an exact family or PostScript name,
    /// else the best-scoring candidate above 0.5, else the name itself.
    static std::optional<std::string> FamilyNameFuzzyMatch(const std::optional<std::string>& name,
                                                           const Catalogue& catalogue);
    static bool isHaveFullName(const std::vector<Face>& faces, const std::string& familyName);
    /// The text before the first "-", else before the first ",", else the name.
    static std::string FamilyNameCut(const std::string& name);

    /// How well the letters of `abbreviation` appear in order in `string`, 0 to 1
    /// (plus a start bonus); 0 when either has no cased letter.
    static double score(const std::string& string, const std::string& abbreviation,
                        std::optional<double> fuzziness, unsigned options = 1);
    /// The score of texts already normalised: decomposed, letters and spaces only.
    static double scoreNormalised(const std::u16string& string, const std::u16string& abbreviation,
                                  std::optional<double> fuzziness, unsigned options = 1);
    /// The normalised form the score compares.
    static std::u16string normalisedForScore(const std::string& text);

    /// The catalogue "FontBook.plist" of the resource root, read once; null when missing.
    static const Catalogue* sharedCatalogue();
    /// Reads a catalogue property list; none when the file is missing or not a plist.
    static std::optional<Catalogue> readCatalogue(const std::string& path);

    /// Bytes as valid UTF-8: valid sequences kept, every other byte taken as Latin-1.
    static std::string validUTF8(const std::string& bytes);
    /// A font name from a PDF as UTF-8. Names of CJK fonts are often given in
    /// the legacy character set of their script (GBK, Shift-JIS, Big5, EUC-KR):
    /// bytes that are not UTF-8 and read in one of these as East Asian
    /// characters only (at least two in a row) are decoded; otherwise as
    /// validUTF8. The same bytes often read in several of the sets; Chinese
    /// names of GB2312 come first, then Shift-JIS, Big5, GBK and EUC-KR.
    static std::string fontNameToUTF8(const std::string& bytes);
    /// The legacy-CJK reading of fontNameToUTF8 alone; none when it does not apply.
    static std::optional<std::string> legacyCJKFontName(const std::string& bytes);
    /// A PDF text string (UTF-16BE with a byte-order mark, else PDFDocEncoding) as UTF-8.
    static std::string textStringToUTF8(const std::string& bytes);
    static std::u16string utf8ToUtf16(const std::string& utf8);
    static std::string utf16ToUtf8(const std::u16string& utf16);
};
