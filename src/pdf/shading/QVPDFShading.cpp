#include "pdf/shading/QVPDFShading.h"

#include "pdf/QVPDFResourceCache.h"
#include "pdf/shading/QVPDFShadingAxial.h"
#include "pdf/shading/QVPDFShadingFunction.h"
#include "pdf/shading/QVPDFShadingGouraudTriangleFree.h"
#include "pdf/shading/QVPDFShadingGouraudTriangleLattice.h"
#include "pdf/shading/QVPDFShadingPatchMeshCoons.h"
#include "pdf/shading/QVPDFShadingPathMeshTensor.h"
#include "pdf/shading/QVPDFShadingRadial.h"

QVPDFShading::~QVPDFShading() = default;

std::shared_ptr<const QVPDFShading>
QVPDFShading::ShadingWithDictionary(const platform::PdfObject& dictionary) {
    QVPDFResourceCache cache;
    return ShadingWithDictionary(dictionary, cache);
}

std::shared_ptr<const QVPDFShading>
QVPDFShading::ShadingWithDictionary(const platform::PdfObject& dictionary,
                                    QVPDFResourceCache& cache) {
    if (auto cached = cache.shading(dictionary))
        return cached;
    QVPDFResourceCache::Scope scope(cache, dictionary);
    if (!scope.entered())
        return nullptr;
    std::shared_ptr<const QVPDFShading> shading;
    switch (dictionary.getInteger("ShadingType").value_or(0)) {
    case 1:
        shading = std::make_shared<const QVPDFShadingFunction>();
        break;
    case 2:
        shading = std::make_shared<const QVPDFShadingAxial>(dictionary, cache);
        break;
    case 3:
        shading = std::make_shared<const QVPDFShadingRadial>();
        break;
    case 4:
        shading = std::make_shared<const QVPDFShadingGouraudTriangleFree>();
        break;
    case 5:
        shading = std::make_shared<const QVPDFShadingGouraudTriangleLattice>();
        break;
    case 6:
        shading = std::make_shared<const QVPDFShadingPatchMeshCoons>();
        break;
    case 7:
        shading = std::make_shared<const QVPDFShadingPathMeshTensor>();
        break;
    default:
        return nullptr;
    }
    cache.storeShading(dictionary, shading);
    return shading;
}
