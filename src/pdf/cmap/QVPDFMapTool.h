#pragma once
// Finds and reads the character-map files of the QVPDFParser resource bundle:
// the collections' CID-to-Unicode files and the predefined CMaps.

#include <optional>
#include <string>

class QVPDFMapTool {
public:
    QVPDFMapTool() = delete;

    /// Text of "PDFEncodings/CIDToUnicode/<collection>-UCS2" for the collections
    /// Adobe-CNS1, Adobe-GB1, Adobe-Japan1 and Adobe-Korea1; none for any other
    /// collection or when the file is missing.
    static std::optional<std::string> FindToUnicodeFile(const std::string& collection);
    /// Text of "PDFEncodings/CMap/<cMapName>"; none when missing. The collection is not used.
    static std::optional<std::string> FindCMapFile(const std::string& collection,
                                                   const std::string& cMapName);

    /// A message naming what is missing when the bundle lacks its predefined
    /// CMaps or the four collection files (composite fonts over predefined
    /// CMaps then give no text); none when the data is in place.
    static std::optional<std::string> missingDataMessage();
    /// Prints missingDataMessage on standard error, once per process, so a
    /// broken installation shows at start instead of as silently empty text.
    static void reportMissingData();
};
