#pragma once
// How the worksheet writers get the XML writer of a package part: the part is
// named by its path in the document's work folder (the folder's layout is the
// package's), and the workbook writer decides where the bytes go; for a
// workbook they stream into the package itself. None means the part could
// not be started.

#include "writer/XMLFileWriter.h"

#include <functional>
#include <memory>
#include <string>

using QVExcelPartOpener = std::function<std::unique_ptr<XMLFileWriter>(const std::string& path)>;

/// Writes each part to a file of its own at its path.
inline QVExcelPartOpener QVExcelFilePartOpener() {
    return [](const std::string& path) { return XMLFileWriter::initWithPath(path); };
}
