// XObjects: images are reported, forms run in place on the page's stack.
#include "pdf/content/QVPDFConentParserOperators.h"
#include "pdf/xobject/QVPDFFormXObject.h"
#include "pdf/xobject/QVPDFImageXObject.h"
#include "pdf/xobject/QVPDFXObjectCollection.h"
#include "platform/pdf/PdfBudgetExceeded.h"
#include "platform/pdf/PdfContentScanner.h"

#include <algorithm>
#include <iostream>

using platform::PdfObject;
using platform::PdfScanner;
using O = QVPDFConentParser::Operators;

namespace {

// Reports the image of that name in the collection, or none. An image is
// written to its file (once per document) right before its first report, in
// the fill colour when it is a stencil mask and with no more pixels than it
// shows where the CTM draws it, unless the delegate keeps nothing of images.
void reportImage(QVPDFConentParser& p, const std::string& name) {
    std::shared_ptr<QVPDFImageXObject> image;
    if (auto x = p.xObjectCollection().xObjectWithNamed(name); x && x->getType() == 1) {
        image = std::static_pointer_cast<QVPDFImageXObject>(x);
        QVPDFRenderState* st = p.currentRenderingState();
        if (!p.delegate() || p.delegate()->wantsImageFiles())
            image->extractForPainting(p.contentStream() ? p.contentStream()->document() : nullptr,
                                      st ? st->currentFillRGBColor() : QVPDFRGB{},
                                      st ? QVPDFImageXObject::pixelBoundForCTM(st->ctm())
                                         : std::nullopt);
    }
    if (QVPDFConentParserDelegate* d = p.delegate())
        d->didScanXObjectImage(p, image);
}

} // namespace

void O::Do(PdfScanner& s, void* info) {
    QVPDFConentParser& p = parser(info);
    std::string name;
    if (!s.popName(name) || !p.resources_)
        return;
    // The same resources every other lookup of this stream uses.
    auto xobjects = p.resources_->getDictionary("XObject");
    if (!xobjects)
        return;
    PdfObject stream = xobjects->get(name);
    if (!stream.isStream())
        return;
    auto subtype = stream.streamDictionary().getName("Subtype");
    if (subtype == "Image")
        reportImage(p, name);
    else if (subtype == "Form")
        runFormXObject(p, name, stream);
    else if (subtype == "PS")
        (void)p.xObjectCollection().xObjectWithNamed(name);
}

void O::EI(PdfScanner& s, void* info) {
    QVPDFConentParser& p = parser(info);
    PdfObject image;
    if (!s.popStream(image)) {
        std::cerr << "Couldn't create stream from inline image!\n";
        return;
    }
    if (!image.streamDictionary().isDictionary()) {
        std::cerr << "Couldn't get dict from inline image stream!\n";
        return;
    }
    auto x = std::make_shared<QVPDFImageXObject>(image);
    x->parseImage(image, p.currentColorSpaceDict());
    // Named by a counter per page: two inline images never share a name.
    std::string name = "EI-" + std::to_string(++p.page_->inlineImageCount);
    x->setObjectID(name);
    p.xObjectCollection().addFromDictionary({{name, x}});
    reportImage(p, name);
}

void O::runFormXObject(QVPDFConentParser& p, const std::string& name, const PdfObject& stream) {
    PdfObject dict = stream.streamDictionary();
    if (dict.getName("Subtype") != "Form" || p.formDepth_ > kMaxFormDepth)
        return;
    PageContext& page = *p.page_;
    // A form already running on this invocation path would recurse forever.
    platform::PdfObjectId id = stream.objectId();
    if (id.isIndirect() &&
        std::find(page.activeForms.begin(), page.activeForms.end(), id) != page.activeForms.end())
        return;
    auto x = p.xObjectCollection().xObjectWithNamed(name);
    if (!x || x->getType() != 2)
        return;
    auto form = std::static_pointer_cast<QVPDFFormXObject>(x);
    QVPDFRenderState* st = p.currentRenderingState();
    if (!st)
        return;

    const QVPDFPageBudget& budget = page.budget;
    if (++page.formInvocations > budget.maxFormInvocations)
        throw platform::PdfBudgetExceeded("The page invokes forms more than " +
                                          std::to_string(budget.maxFormInvocations) + " times.");
    bool exceeded = false;
    auto content = platform::PdfContentStream::fromStream(
        p.contentStream_ ? p.contentStream_->document() : nullptr, stream,
        budget.maxContentBytes - std::min(page.contentBytes, budget.maxContentBytes), exceeded);
    if (exceeded || !content)
        throw platform::PdfBudgetExceeded(QVPDFConentParser::contentBytesMessage(budget));
    page.contentBytes += content->data().size();

    form->setCtm(st->ctm());
    RenderingStateStack& stack = *p.renderingStateStack();
    const size_t depthBefore = stack.depth();
    p.saveRenderingState();
    if (QVPDFRenderState* top = stack.topRenderingState())
        top->setCtm(form->matrixTransform().concat(top->ctm()));

    QVPDFConentParser child(dict, content);
    child.delegate_ = p.delegate_;
    child.renderingStateStack_ = p.renderingStateStack_;
    child.formDepth_ = p.formDepth_ + 1;
    child.fontCache_ = p.fontCache_; // a form's fonts are the document's too
    child.page_ = p.page_;
    child.inheritedCollections_ = p.collections_;
    child.inheritedResources_ = p.resources_;

    // Leaves the invocation path and the stack as they were, also when a
    // report throws.
    struct Restore {
        PageContext& page;
        RenderingStateStack& stack;
        size_t depth;
        bool pushed;
        ~Restore() {
            if (pushed)
                page.activeForms.pop_back();
            while (stack.depth() > depth)
                (void)stack.restoreRenderingState();
        }
    } restore{page, stack, depthBefore, id.isIndirect()};
    if (id.isIndirect())
        page.activeForms.push_back(id);
    child.startParser();
}
