// The format table's exporters. A key without an exporter here makes none and
// the run ends with an error.
#include "converter/QVPDFConverter.h"
#include "docx/QVDocxPDFExporter.h"
#include "excel/QVExcelManager.h"
#include "excel/QVExcelPDFExporter.h"
#include "flow/QVFlowPDFExporter.h"
#include "pptx/QVPPTXPDFExporter.h"

std::unique_ptr<QVPDFExporter> QVPDFConverter::exporterForDocType(const std::string& key,
                                                                  const QVPDFOptions& options) {
    if (key == "docx")
        return std::make_unique<QVDocxPDFExporter>();
    if (key == "pptx")
        return std::make_unique<QVPPTXPDFExporter>();
    if (key == "html")
        return std::make_unique<QVHTMLPDFExporter>();
    if (key == "rtf")
        return std::make_unique<QVRTFPDFExporter>();
    if (key == "txt")
        return std::make_unique<QVTextPDFExporter>();
    if (key == "xlsx" || key == "csv") {
        // The spreadsheet layers read the file's options from the per-document
        // state, so it has them before the exporter begins.
        QVExcelManager::sharedInstance()->setOptions(options.excelOptions());
        return std::make_unique<QVExcelPDFExporter>(key);
    }
    return nullptr;
}

bool QVPDFConverter::hasExporterForDocType(const std::string& key) {
    return key == "xlsx" || key == "csv" || key == "docx" || key == "pptx" || key == "html" ||
           key == "rtf" || key == "txt";
}
