#include "excel/workbook/QVPDFInfo.h"
#include "platform/text/Utf.h"

#include "excel/QVExcelUtilities.h"
#include "platform/PropertyList.h"
#include "platform/pdf/PdfDocument.h"
#include "writer/XMLFileWriter.h"

#include <optional>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// PDFDocEncoding (PDF 32000-1, Annex D) where it differs from Latin-1:
// 0x18-0x1F and 0x80-0xA0; 0x7F, 0x9F and 0xAD are undefined.
char32_t pdfDocEncodingChar(unsigned char b) {
    static const char16_t low[8] = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};
    static const char16_t high[33] = {
        0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
        0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
        0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0xFFFD, 0x20AC};
    if (b >= 0x18 && b <= 0x1F)
        return low[b - 0x18];
    if (b >= 0x80 && b <= 0xA0)
        return high[b - 0x80];
    if (b == 0x7F || b == 0xAD)
        return kReplacement;
    return b;
}

} // namespace

std::string QVPDFInfo::decodePDFTextString(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
        std::u16string units;
        for (size_t i = 2; i + 1 < n; i += 2)
            units.push_back(static_cast<char16_t>((p[i] << 8) | p[i + 1]));
        std::string out = XMLFileWriter::sanitizedText(units);
        if ((n - 2) % 2 != 0)
            platform::appendUTF8(out, kReplacement);
        return out;
    }
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        return XMLFileWriter::sanitizedText(bytes.substr(3));
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i)
        platform::appendUTF8(out, pdfDocEncodingChar(p[i]));
    return out;
}

std::unique_ptr<QVPDFInfo> QVPDFInfo::initWithCGPDFDocument(const platform::PdfDocument* document) {
    if (!document)
        return nullptr;
    auto info = std::make_unique<QVPDFInfo>();

    // The application's texts; a missing or unreadable list leaves them empty.
    std::optional<platform::PropertyListValue> defaults;
    if (auto path = QVExcelUtilities::pathInBundle("QVCorvala", "QVPDFInfo.plist"))
        defaults = platform::readPropertyList(*path);
    auto text = [&](const char* key) -> std::string {
        if (!defaults)
            return {};
        return XMLFileWriter::sanitizedText(defaults->stringForKey(key).value_or(""));
    };
    info->author_ = text("QVPDFInfo_Creator");
    info->creator_ = text("QVPDFInfo_Company");
    const std::string copyright = text("QVPDFInfo_Copyright");
    const std::string website = text("QVPDFInfo_Website");
    if (!copyright.empty() || !website.empty())
        info->note_ = copyright + "\n" + website;

    const platform::PdfObject dict = document->infoDictionary();
    const std::pair<const char*, std::string*> entries[] = {{"Title", &info->title_},
                                                            {"Author", &info->author_},
                                                            {"Subject", &info->subject_},
                                                            {"Keywords", &info->keywords_},
                                                            {"Producer", &info->producer_}};
    if (dict.isDictionary()) {
        for (const auto& [key, field] : entries)
            if (auto s = dict.getString(key))
                *field = decodePDFTextString(*s);
    }
    return info;
}
