#include "pdf/QVPDFResourceCache.h"

#include <algorithm>

namespace {

template <typename T, typename M>
std::shared_ptr<const T> lookUp(const M& map, const platform::PdfObject& object) {
    platform::PdfObjectId id = object.objectId();
    if (!id.isIndirect())
        return nullptr;
    auto it = map.find(id.key());
    return it == map.end() ? nullptr : it->second;
}

template <typename T, typename M>
void store(M& map, const platform::PdfObject& object, std::shared_ptr<const T> value) {
    platform::PdfObjectId id = object.objectId();
    // Direct objects have no identity to share them by.
    if (id.isIndirect() && value)
        map[id.key()] = std::move(value);
}

} // namespace

std::shared_ptr<const QVPDFColorSpace>
QVPDFResourceCache::colorSpace(const platform::PdfObject& object) const {
    return lookUp<QVPDFColorSpace>(colorSpaces_, object);
}

void QVPDFResourceCache::storeColorSpace(const platform::PdfObject& object,
                                         std::shared_ptr<const QVPDFColorSpace> space) {
    store(colorSpaces_, object, std::move(space));
}

std::shared_ptr<const QVPDFFunction>
QVPDFResourceCache::function(const platform::PdfObject& object) const {
    return lookUp<QVPDFFunction>(functions_, object);
}

void QVPDFResourceCache::storeFunction(const platform::PdfObject& object,
                                       std::shared_ptr<const QVPDFFunction> function) {
    store(functions_, object, std::move(function));
}

std::shared_ptr<const QVPDFShading>
QVPDFResourceCache::shading(const platform::PdfObject& object) const {
    return lookUp<QVPDFShading>(shadings_, object);
}

void QVPDFResourceCache::storeShading(const platform::PdfObject& object,
                                      std::shared_ptr<const QVPDFShading> shading) {
    store(shadings_, object, std::move(shading));
}

QVPDFResourceCache::Scope::Scope(QVPDFResourceCache& cache, const platform::PdfObject& object)
    : cache_(cache) {
    if (cache_.depth_ >= kMaxDepth)
        return;
    platform::PdfObjectId id = object.objectId();
    if (id.isIndirect()) {
        if (std::find(cache_.openIds_.begin(), cache_.openIds_.end(), id.key()) !=
            cache_.openIds_.end())
            return;
        cache_.openIds_.push_back(id.key());
        pushedId_ = true;
    }
    ++cache_.depth_;
    entered_ = true;
}

QVPDFResourceCache::Scope::~Scope() {
    if (!entered_)
        return;
    --cache_.depth_;
    if (pushedId_)
        cache_.openIds_.pop_back();
}
