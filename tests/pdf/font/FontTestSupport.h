#pragma once
// Helpers for the font tests: fonts made from PDFs built in the test, and a
// small text walker (BT/Tf/Tm/Td/TJ ... over the content scanner) that places
// every decoded character, for comparisons with pdftotext.

#include "fixtures/PdfBuilder.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontCache.h"
#include "platform/pdf/PdfDocument.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fonttest {

struct LoadedFont {
    std::unique_ptr<platform::PdfDocument> doc;
    platform::PdfObject dict;
    std::shared_ptr<const QVPDFFont> font;
};

/// A one-page PDF whose resource /F1 is the object `makeFont` adds (it returns
/// the reference or a direct dictionary's source); the font the factory makes.
LoadedFont loadFont(const std::function<std::string(fixtures::PdfBuilder&)>& makeFont);
/// The same for a font dictionary written out in PDF source.
LoadedFont loadFontSource(const std::string& fontSource);

/// Every character of the bytes through getNextChar.
struct DecodedChar {
    uint32_t code;
    std::u16string text;
    float dx;
    int consumed;
    float dy = 0; ///< the vertical advance of fonts that write vertically
};
std::vector<DecodedChar> decodeAll(const QVPDFFont& font, const std::string& bytes);
std::u16string decodeText(const QVPDFFont& font, const std::string& bytes);
std::string utf8(const std::u16string& text);

/// One decoded character placed on the page: its baseline start and end in
/// display space (points, origin at the top-left of the media box, y down).
struct PlacedChar {
    std::u16string text;
    double x0, y0, x1, y1;
    double fontSize;
};

/// Walks page `pageNumber`'s content with the text operators and decodes every
/// string through QVPDFFontCollection (sharing `cache` when given).
std::vector<PlacedChar> placeText(const platform::PdfDocument& doc, size_t pageNumber,
                                  QVPDFFontCache* cache = nullptr);

/// A word: consecutive characters on one baseline without a space between them.
struct Word {
    std::string text;
    double x0, y0, x1, y1; // baseline start and end, display space
};
std::vector<Word> wordsOf(const std::vector<PlacedChar>& chars);

/// pdftotext -bbox-layout's words of a page: text and box (xMin, yMin, xMax, yMax).
struct OracleWord {
    std::string text;
    double xMin, yMin, xMax, yMax;
};
std::vector<OracleWord> pdftotextWords(const std::string& pdfPath, size_t pageNumber);
/// pdftotext's plain text of a page (-layout off), lines without trailing blanks.
std::vector<std::string> pdftotextLines(const std::string& pdfPath, size_t pageNumber);

} // namespace fonttest
