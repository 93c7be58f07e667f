#pragma once
// The XObjects of one /XObject resource dictionary, by resource name (raw
// bytes), plus the inline images of the stream being interpreted.

#include "pdf/xobject/QVPDFXObject.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

class QVPDFXObjectCollection {
public:
    QVPDFXObjectCollection() = default;
    /// Every stream entry the XObject factory accepts.
    explicit QVPDFXObjectCollection(const std::optional<platform::PdfObject>& dictionary);

    using Map = std::map<std::string, std::shared_ptr<QVPDFXObject>>;
    /// Adds the entries, replacing those of the same name.
    void addFromDictionary(const Map& entries);
    std::shared_ptr<QVPDFXObject> xObjectWithNamed(const std::string& name) const;
    const Map& xObjects() const { return xObjects_; }

private:
    Map xObjects_;
};
