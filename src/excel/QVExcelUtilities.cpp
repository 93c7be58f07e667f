#include "excel/QVExcelUtilities.h"

#include "platform/Files.h"
#include "platform/Resources.h"

#include <algorithm>

std::optional<std::string> QVExcelUtilities::getColumnName(int64_t column) {
    if (column < 1)
        return std::nullopt;
    std::string name;
    while (column > 0) {
        name.push_back(static_cast<char>('A' + (column - 1) % 26));
        column = (column - 1) / 26;
    }
    std::reverse(name.begin(), name.end());
    return name;
}

double QVExcelUtilities::defaultFontSize() {
    return 10.0;
}

std::string QVExcelUtilities::defaultFontName() {
    return "Arial Unicode MS";
}

QVExcel_SI_PhoneticPr QVExcelUtilities::defaultPhoneticProperty() {
    return QVExcel_SI_PhoneticPr{1, "noConversion", "left"};
}

std::optional<std::string> QVExcelUtilities::pathInBundle(const std::string& bundleName,
                                                          const std::string& filePathInBundle) {
    auto path = platform::resourcePath(bundleName, filePathInBundle);
    if (!path || platform::isDirectory(*path))
        return std::nullopt;
    return path;
}
