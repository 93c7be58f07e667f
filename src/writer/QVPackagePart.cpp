#include "writer/QVPackagePart.h"

#include "writer/QVZipArchive.h"
#include "writer/XMLFileWriter.h"

#include <cstring>
#include <stdexcept>

std::unique_ptr<XMLFileWriter> openPackagePart(QVZipArchive& archive, const std::string& part) {
    auto entry = archive.entryOutput(part);
    requirePackagePartAdded(archive, entry != nullptr, part);
    auto writer = XMLFileWriter::initWithOutput(part, std::move(entry));
    writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    return writer;
}

void requirePackagePartAdded(const QVZipArchive& archive, bool ok, const std::string& part) {
    if (ok)
        return;
    const int error = archive.writeErrno();
    throw std::runtime_error("Could not add " + part + " to the package" +
                             (error != 0 ? std::string(": ") + std::strerror(error) : ""));
}
