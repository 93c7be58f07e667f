#include "pdf/QVPDFMapTool.h"

#include "pdf/QVPDFPathUtilities.h"
#include "platform/Files.h"

namespace {

std::optional<std::string> readResource(const std::string& folder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos)
        return std::nullopt;
    auto path = QVPDFPathUtilities::PathInLibBundleForResource(folder + "/" + name);
    if (!path)
        return std::nullopt;
    return platform::readFile(*path);
}

} // namespace

std::optional<std::string> QVPDFMapTool::FindToUnicodeFile(const std::string& collection) {
    static const char* const kCollections[] = {"Adobe-CNS1", "Adobe-GB1", "Adobe-Japan1",
                                               "Adobe-Korea1"};
    for (const char* known : kCollections)
        if (collection == known)
            return readResource("PDFEncodings/CIDToUnicode", collection + "-UCS2");
    return std::nullopt;
}

std::optional<std::string> QVPDFMapTool::FindCMapFile(const std::string& collection,
                                                      const std::string& cMapName) {
    (void)collection;
    return readResource("PDFEncodings/CMap", cMapName);
}
