#include "converter/QVPDFExporter.h"

std::unique_ptr<QVPDFExporter> QVPDFExporter::copyWithZone() const {
    return std::make_unique<QVPDFExporter>();
}
void QVPDFExporter::begainConvertPDF(const std::string&) {}
bool QVPDFExporter::convertPDFPage(const platform::PdfPage*) { return false; }
bool QVPDFExporter::endConvertPDF(platform::PdfDocument&) { return true; }
void QVPDFExporter::cleanConvertPDF() {}
