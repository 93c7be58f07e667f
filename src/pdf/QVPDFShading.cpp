#include "pdf/QVPDFShading.h"

QVPDFShading::~QVPDFShading() = default;

std::shared_ptr<const QVPDFShading>
QVPDFShading::ShadingWithDictionary(const platform::PdfObject& dictionary) {
    auto type = dictionary.getInteger("ShadingType");
    if (!type || *type < 1 || *type > 7)
        return nullptr;
    return std::make_shared<const QVPDFShading>(static_cast<int>(*type));
}
