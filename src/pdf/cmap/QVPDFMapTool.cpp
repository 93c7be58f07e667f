#include "pdf/cmap/QVPDFMapTool.h"

#include "pdf/QVPDFPathUtilities.h"
#include "platform/Files.h"
#include "platform/Resources.h"

#include <iostream>
#include <mutex>
#include <vector>

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

std::optional<std::string> QVPDFMapTool::missingDataMessage() {
    std::vector<std::string> missing;
    // One common CMap stands for the folder: an empty or partial copy is as bad as none.
    if (!QVPDFPathUtilities::PathInLibBundleForResource("PDFEncodings/CMap/UniGB-UCS2-H"))
        missing.push_back("CMap");
    for (const char* collection : {"Adobe-CNS1", "Adobe-GB1", "Adobe-Japan1", "Adobe-Korea1"}) {
        if (!QVPDFPathUtilities::PathInLibBundleForResource(
                std::string("PDFEncodings/CIDToUnicode/") + collection + "-UCS2")) {
            missing.push_back("CIDToUnicode");
            break;
        }
    }
    if (missing.empty())
        return std::nullopt;
    std::string folders = missing[0] + (missing.size() > 1 ? " and " + missing[1] : "");
    return "corvala: the character maps are missing (" + folders + " in " +
           platform::appendPathComponent(platform::resourceRoot(), "QVPDFParser/PDFEncodings") +
           "): Chinese, Japanese and Korean text will come out empty. Install Debian's "
           "poppler-data and rebuild, or set CORVALA_RESOURCES to a resource folder that has "
           "them.";
}

void QVPDFMapTool::reportMissingData() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (auto message = missingDataMessage())
            std::cerr << *message << "\n";
    });
}
