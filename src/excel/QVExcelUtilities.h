#pragma once
// Spreadsheet helpers: column letters, the default font of text runs, the
// default phonetic properties of string items, and files of the resource bundles.

#include <cstdint>
#include <optional>
#include <string>

/// The phonetic properties of a string item (carried, never written).
struct QVExcel_SI_PhoneticPr {
    int32_t fontId = 0;
    std::string type;
    std::string algn;
};

class QVExcelUtilities {
public:
    QVExcelUtilities() = delete;

    /// Bijective base 26: 1 "A", 26 "Z", 27 "AA", 16384 "XFD"; none below 1.
    static std::optional<std::string> getColumnName(int64_t column);
    /// 10.0 points.
    static double defaultFontSize();
    /// "Arial Unicode MS".
    static std::string defaultFontName();
    /// Font id 1, type "noConversion", alignment "left".
    static QVExcel_SI_PhoneticPr defaultPhoneticProperty();
    /// Full path of a file inside a resource bundle ("a/b.xml" is b.xml in the
    /// bundle's folder a); none when the bundle or the file is missing.
    static std::optional<std::string> pathInBundle(const std::string& bundleName,
                                                   const std::string& filePathInBundle);
};
