// Parts written straight into a Word or slide package's archive.
#pragma once

#include <memory>
#include <string>

class QVZipArchive;
class XMLFileWriter;

/// The next entry of the archive as an XML part, its declaration written;
/// throws when the archive cannot take it.
std::unique_ptr<XMLFileWriter> openPackagePart(QVZipArchive& archive, const std::string& part);

/// Throws, naming the part and the archive's last write error, unless ok.
void requirePackagePartAdded(const QVZipArchive& archive, bool ok, const std::string& part);
