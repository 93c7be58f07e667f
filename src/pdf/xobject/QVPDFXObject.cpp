#include "pdf/xobject/QVPDFXObject.h"

#include "pdf/xobject/QVPDFFormXObject.h"
#include "pdf/xobject/QVPDFImageXObject.h"
#include "pdf/xobject/QVPDFPostScriptXObject.h"

QVPDFXObject::QVPDFXObject(const platform::PdfObject& stream)
    : xObjectStream_(stream), xObjectDictionary_(stream.streamDictionary()) {}

QVPDFXObject::~QVPDFXObject() = default;

std::shared_ptr<QVPDFXObject> QVPDFXObject::xObjectWithObject(const platform::PdfObject& object,
                                                              const std::string& keyValue) {
    if (!object.isStream())
        return nullptr;
    auto subtype = object.streamDictionary().getName("Subtype");
    std::shared_ptr<QVPDFXObject> x;
    if (subtype == "Image")
        x = std::make_shared<QVPDFImageXObject>(object);
    else if (subtype == "Form")
        x = std::make_shared<QVPDFFormXObject>(object);
    else if (subtype == "PS")
        x = std::make_shared<QVPDFPostScriptXObject>(object);
    if (x)
        x->setObjectID(keyValue);
    return x;
}
