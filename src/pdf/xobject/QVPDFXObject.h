#pragma once
// An external object of the page resources, by /Subtype. The stream and its
// dictionary stay valid while the document is open.

#include "platform/Geometry.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <string>

class QVPDFXObject {
public:
    explicit QVPDFXObject(const platform::PdfObject& stream);
    virtual ~QVPDFXObject();
    QVPDFXObject(const QVPDFXObject&) = delete;
    QVPDFXObject& operator=(const QVPDFXObject&) = delete;

    /// An image ("Image"), form ("Form") or PostScript ("PS") XObject made from
    /// a stream, named `keyValue`; none for anything else. Images are not
    /// decoded here but when painted.
    static std::shared_ptr<QVPDFXObject> xObjectWithObject(const platform::PdfObject& object,
                                                           const std::string& keyValue);

    /// 0 base, 1 image, 2 form, 3 PostScript.
    virtual int getType() const { return 0; }

    const std::string& objectID() const { return objectID_; }
    void setObjectID(std::string id) { objectID_ = std::move(id); }
    /// All zeros until a form is invoked; then the CTM of its latest invocation.
    const platform::AffineTransform& ctm() const { return ctm_; }
    void setCtm(const platform::AffineTransform& ctm) { ctm_ = ctm; }
    const platform::PdfObject& xObjectStream() const { return xObjectStream_; }
    const platform::PdfObject& xObjectDictionary() const { return xObjectDictionary_; }

private:
    std::string objectID_;
    platform::AffineTransform ctm_{0, 0, 0, 0, 0, 0};
    platform::PdfObject xObjectStream_;
    platform::PdfObject xObjectDictionary_;
};
