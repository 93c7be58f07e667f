// The format table's exporters. Each output format adds its key here when it
// lands; until then a key makes no exporter and the run ends with an error.
#include "converter/QVPDFConverter.h"

std::unique_ptr<QVPDFExporter> QVPDFConverter::exporterForDocType(const std::string& key,
                                                                  const QVPDFOptions& options) {
    (void)key;
    (void)options;
    return nullptr;
}
