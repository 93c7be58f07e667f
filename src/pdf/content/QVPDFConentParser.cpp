#include "pdf/content/QVPDFConentParser.h"

#include "pdf/content/QVPDFConentParserOperators.h"
#include "platform/pdf/PdfBudgetExceeded.h"

using platform::PdfObject;

QVPDFConentParser::QVPDFConentParser() = default;

QVPDFConentParser::QVPDFConentParser(PdfObject contentDict,
                                     std::shared_ptr<platform::PdfContentStream> contentStream)
    : contentDict_(std::move(contentDict)), contentStream_(std::move(contentStream)) {}

QVPDFConentParser::~QVPDFConentParser() = default;

const std::shared_ptr<RenderingStateStack>& QVPDFConentParser::renderingStateStack() {
    if (!renderingStateStack_)
        renderingStateStack_ = std::make_shared<RenderingStateStack>();
    return renderingStateStack_;
}

QVPDFRenderState* QVPDFConentParser::currentRenderingState() {
    return renderingStateStack()->topRenderingState();
}

void QVPDFConentParser::saveRenderingState() {
    if (QVPDFRenderState* top = currentRenderingState())
        renderingStateStack_->saveRenderingState(std::make_unique<QVPDFRenderState>(*top));
}

void QVPDFConentParser::restoreRenderingState() {
    if (renderingStateStack()->depth() > restoreFloor_)
        (void)renderingStateStack_->restoreRenderingState();
}

void QVPDFConentParser::startParser() {
    const bool isPage = !page_;
    if (isPage)
        page_ = std::make_shared<PageContext>(pageBudget_);
    collectResourcesWithDict(contentDict_);
    restoreFloor_ = std::max<size_t>(renderingStateStack()->depth(), 1);
    if (!contentStream_)
        return;
    // A form's bytes were counted when it was invoked.
    if (isPage) {
        page_->contentBytes += contentStream_->data().size();
        if (page_->contentBytes > page_->budget.maxContentBytes)
            throw platform::PdfBudgetExceeded(contentBytesMessage(page_->budget));
    }
    platform::PdfScanner scanner(contentStream_, operatorTable(), this);
    scanner.setOperationBudget(&page_->operations);
    (void)scanner.scan();
}

std::string QVPDFConentParser::contentBytesMessage(const QVPDFPageBudget& budget) {
    return "The page's content decodes to more than " + std::to_string(budget.maxContentBytes) +
           " bytes.";
}

std::optional<PdfObject> QVPDFConentParser::resourcesOfPage(const PdfObject& dict) {
    PdfObject node = dict;
    // Page trees are shallow; the bound stops a /Parent loop in a damaged file.
    for (int depth = 0; depth < 64 && node.isDictionary(); ++depth) {
        if (auto res = node.getDictionary("Resources"))
            return res;
        node = node.get("Parent");
    }
    return std::nullopt;
}

void QVPDFConentParser::collectResourcesWithDict(const PdfObject& dict) {
    if (!page_)
        page_ = std::make_shared<PageContext>(pageBudget_);
    std::optional<PdfObject> own = dict.getDictionary("Resources");
    if (own) {
        resources_ = own;
        collections_ = collectionsFor(own, dict);
    } else if (inheritedCollections_) {
        resources_ = inheritedResources_;
        collections_ = inheritedCollections_;
    } else {
        resources_ = resourcesOfPage(dict);
        collections_ = collectionsFor(resources_, dict);
    }
}

std::shared_ptr<QVPDFConentParser::Collections>
QVPDFConentParser::collectionsFor(const std::optional<PdfObject>& res, const PdfObject& owner) {
    // A resource dictionary is an object of its own, or sits inside the
    // dictionary of the page or form that owns it.
    uint64_t key = 0;
    if (res) {
        if (res->objectId().isIndirect())
            key = res->objectId().key();
        else if (owner.objectId().isIndirect())
            key = owner.objectId().key() | (uint64_t(1) << 63);
    }
    if (key != 0)
        if (auto it = page_->cache.find(key); it != page_->cache.end())
            return it->second;
    auto c = std::make_shared<Collections>();
    if (res) {
        c->fonts = QVPDFFontCollection(res->getDictionary("Font"), fontCache_.get());
        c->colorSpaces = QVPDFColorSpaceCollection(res->getDictionary("ColorSpace"));
        c->xObjects = QVPDFXObjectCollection(res->getDictionary("XObject"));
        c->extGStates = QVPDFExtGStateCollection(res->getDictionary("ExtGState"));
        c->shadings = QVPDFShadingPatternCollection(res->getDictionary("Shading"));
    }
    if (key != 0)
        page_->cache[key] = c;
    return c;
}

std::optional<PdfObject> QVPDFConentParser::currentColorSpaceDict() const {
    if (!resources_)
        return std::nullopt;
    return resources_->getDictionary("ColorSpace");
}

const QVPDFFontCollection& QVPDFConentParser::fontCollection() const {
    static const QVPDFFontCollection empty;
    return collections_ ? collections_->fonts : empty;
}
const QVPDFColorSpaceCollection& QVPDFConentParser::colorSpaceCollection() const {
    static const QVPDFColorSpaceCollection empty;
    return collections_ ? collections_->colorSpaces : empty;
}
QVPDFXObjectCollection& QVPDFConentParser::xObjectCollection() const {
    if (!collections_)
        const_cast<QVPDFConentParser*>(this)->collections_ = std::make_shared<Collections>();
    return collections_->xObjects;
}
const QVPDFExtGStateCollection& QVPDFConentParser::extGStateCollection() const {
    static const QVPDFExtGStateCollection empty;
    return collections_ ? collections_->extGStates : empty;
}
const QVPDFShadingPatternCollection& QVPDFConentParser::shadingPatternCollection() const {
    static const QVPDFShadingPatternCollection empty;
    return collections_ ? collections_->shadings : empty;
}

std::vector<QVPDFConentParser::Operators::Entry> QVPDFConentParser::Operators::entries() {
    using O = Operators;
    return {
        {"BT", O::BT},
        {"ET", O::ET},
        {"Tj", O::Tj},
        {"'", O::quote},
        {"\"", O::doubleQuote},
        {"TJ", O::TJ},
        {"Tm", O::Tm},
        {"Td", O::Td},
        {"TD", O::TD},
        {"T*", O::Tstar},
        {"Tw", O::Tw},
        {"Tc", O::Tc},
        {"TL", O::TL},
        {"Tz", O::Tz},
        {"Ts", O::Ts},
        {"Tf", O::Tf},
        {"Tr", O::Tr},
        {"MP", O::none},
        {"DP", O::none},
        {"BMC", O::none},
        {"BDC", O::none},
        {"EMC", O::none},
        {"CS", O::CS},
        {"cs", O::cs},
        {"G", O::G},
        {"g", O::g},
        {"K", O::K},
        {"k", O::k},
        {"RG", O::RG},
        {"rg", O::rg},
        {"ri", O::ri},
        {"SC", O::SC},
        {"sc", O::sc},
        {"SCN", O::SCN},
        {"scn", O::scn},
        {"gs", O::gs},
        {"cm", O::cm},
        {"q", O::q},
        {"Q", O::Q},
        {"BX", O::none},
        {"EX", O::none},
        {"b", O::b},
        {"B", O::B},
        {"b*", O::bstar},
        {"B*", O::Bstar},
        {"f", O::f},
        {"F", O::F},
        {"f*", O::fstar},
        {"sh", O::sh},
        {"i", O::i},
        {"d", O::d},
        {"w", O::w},
        {"j", O::j},
        {"J", O::J},
        {"M", O::M},
        {"re", O::re},
        {"l", O::l},
        {"m", O::m},
        {"h", O::h},
        {"s", O::s},
        {"S", O::S},
        {"n", O::n},
        {"W", O::W},
        {"W*", O::Wstar},
        {"c", O::c},
        {"v", O::v},
        {"y", O::y},
        {"Do", O::Do},
        {"EI", O::EI},
    };
}

const platform::PdfOperatorTable& QVPDFConentParser::operatorTable() {
    // Built once and never changed: every interpreter scans with the same table.
    static const platform::PdfOperatorTable table = [] {
        platform::PdfOperatorTable t;
        for (const Operators::Entry& e : Operators::entries())
            t.setCallback(e.name, e.callback);
        return t;
    }();
    return table;
}

const std::vector<std::string>& QVPDFConentParser::operatorNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const Operators::Entry& e : Operators::entries())
            out.emplace_back(e.name);
        return out;
    }();
    return names;
}
