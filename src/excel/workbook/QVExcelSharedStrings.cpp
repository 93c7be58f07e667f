#include "excel/workbook/QVExcelSharedStrings.h"

#include "platform/Files.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

QVExcelSharedStrings::QVExcelSharedStrings(const std::string& rootFolder)
    : xmlPath_(rootFolder + "/xl/sharedStrings.xml") {
    platform::createDirectories(rootFolder + "/xl");
    xmlWriter_ = XMLFileWriter::openForWriting(xmlPath_);
    beginWrite();
}

QVExcelSharedStrings::QVExcelSharedStrings(std::unique_ptr<XMLFileWriter> writer)
    : xmlWriter_(std::move(writer)) {
    if (!xmlWriter_)
        throw XMLWriterException("Could not create the shared strings");
    xmlPath_ = xmlWriter_->xmlPath();
    beginWrite();
}

QVExcelSharedStrings::~QVExcelSharedStrings() = default;

void QVExcelSharedStrings::beginWrite() {
    xmlWriter_->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    xmlWriter_->writeStartElement("sst");
    xmlWriter_->writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());
}

void QVExcelSharedStrings::writeStringItems() {
    if (!xmlWriter_)
        throw XMLWriterException("The shared strings have already been ended");
    for (const auto& item : stringItems_) {
        if (item) {
            item->writeXMLWith(*xmlWriter_);
        } else {
            // An index was given for it: keep the numbering with an empty string.
            xmlWriter_->writeStartElement("si");
            xmlWriter_->writeStartElement("t");
            xmlWriter_->writeEndElement("t");
            xmlWriter_->writeEndElement("si");
        }
        ++writtenItemCount_;
    }
    stringItems_.clear();
}

void QVExcelSharedStrings::endWrite() {
    if (!xmlWriter_)
        return;
    std::unique_ptr<XMLFileWriter> writer = std::move(xmlWriter_);
    writer->writeEndElement("sst");
    writer->writeEndDocument();
}
