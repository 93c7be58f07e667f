#pragma once
// Interprets one content stream, a page's or a form XObject's: gathers the
// stream's named resources, runs the platform content scanner with the
// operator table, keeps the graphics state on a RenderingStateStack shared
// with the creator, and reports shown text, painted paths and images to its
// delegate. Bad content never stops it: an operator whose operands or
// resources are missing or damaged does nothing.

#include "pdf/content/QVPDFConentParserDelegate.h"
#include "pdf/content/QVPDFPageBudget.h"
#include "pdf/content/RenderingStateStack.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class PdfContentStream;
class PdfOperatorTable;
} // namespace platform

class QVPDFFontCollection;
class QVPDFFontCache;
class QVPDFColorSpaceCollection;
class QVPDFXObjectCollection;
class QVPDFExtGStateCollection;
class QVPDFShadingPatternCollection;

class QVPDFConentParser {
public:
    /// Forms nest at most this deep below a page (so 21 levels run).
    static constexpr int kMaxFormDepth = 20;

    QVPDFConentParser();
    /// `contentDict` is the page dictionary or the form's stream dictionary;
    /// the resources are looked up from it.
    QVPDFConentParser(platform::PdfObject contentDict,
                      std::shared_ptr<platform::PdfContentStream> contentStream);
    ~QVPDFConentParser();
    QVPDFConentParser(const QVPDFConentParser&) = delete;
    QVPDFConentParser& operator=(const QVPDFConentParser&) = delete;

    /// Not owned; it outlives the interpreter.
    void setDelegate(QVPDFConentParserDelegate* delegate) { delegate_ = delegate; }
    QVPDFConentParserDelegate* delegate() const { return delegate_; }
    void setRenderingStateStack(std::shared_ptr<RenderingStateStack> stack) {
        renderingStateStack_ = std::move(stack);
    }
    /// Made (with one new state) on first use when none was set.
    const std::shared_ptr<RenderingStateStack>& renderingStateStack();
    const platform::PdfObject& contentDict() const { return contentDict_; }
    const std::shared_ptr<platform::PdfContentStream>& contentStream() const {
        return contentStream_;
    }
    /// The document's font cache, so pages and forms that share a font
    /// dictionary share one parsed font; none parses fonts per stream.
    void setFontCache(std::shared_ptr<QVPDFFontCache> cache) { fontCache_ = std::move(cache); }
    const std::shared_ptr<QVPDFFontCache>& fontCache() const { return fontCache_; }
    int formDepth() const { return formDepth_; }
    void setFormDepth(int depth) { formDepth_ = depth; }

    /// Collects the resources and interprets the whole stream. A stream that
    /// ends early or is damaged leaves what was interpreted up to there.
    /// Exceptions thrown by the delegate pass through. A page that needs more
    /// than QVPDFPageBudget allows (operators, content bytes, form
    /// invocations; forms included) raises platform::PdfBudgetExceeded.
    void startParser();
    /// The message of a page whose content bytes exceed the budget.
    static std::string contentBytesMessage(const QVPDFPageBudget& budget);
    /// The limits of the page this interpreter starts (the defaults unless a
    /// caller narrows them); forms run under their page's.
    void setPageBudget(const QVPDFPageBudget& budget) { pageBudget_ = budget; }

    /// The 69 operators, in registration order.
    static const platform::PdfOperatorTable& operatorTable();
    /// The operator names of operatorTable, in registration order.
    static const std::vector<std::string>& operatorNames();

    /// The stack's top state; none when the stack is empty.
    QVPDFRenderState* currentRenderingState();
    /// Pushes a copy of the current state.
    void saveRenderingState();
    /// Pops the top state, but never below the level this stream started at:
    /// a restore without its save is ignored.
    void restoreRenderingState();

    /// Replaces the five collections by those of the dictionary's resources.
    void collectResourcesWithDict(const platform::PdfObject& dict);
    /// The /Resources of a page, inherited from the nearest page-tree ancestor
    /// that has them; none when no node has any.
    static std::optional<platform::PdfObject> resourcesOfPage(const platform::PdfObject& dict);
    /// The resources this stream resolves names in; none when it has none.
    const std::optional<platform::PdfObject>& resources() const { return resources_; }
    /// The /ColorSpace dictionary of those resources, or none.
    std::optional<platform::PdfObject> currentColorSpaceDict() const;

    const QVPDFFontCollection& fontCollection() const;
    const QVPDFColorSpaceCollection& colorSpaceCollection() const;
    QVPDFXObjectCollection& xObjectCollection() const;
    const QVPDFExtGStateCollection& extGStateCollection() const;
    const QVPDFShadingPatternCollection& shadingPatternCollection() const;

    // Internal to the interpreter's implementation files.
    struct Operators;
    struct Collections;
    struct PageContext;

private:
    friend struct Operators;

    std::shared_ptr<Collections> collectionsFor(const std::optional<platform::PdfObject>& res,
                                                const platform::PdfObject& owner);

    QVPDFConentParserDelegate* delegate_ = nullptr;
    platform::PdfObject contentDict_;
    std::shared_ptr<platform::PdfContentStream> contentStream_;
    std::shared_ptr<RenderingStateStack> renderingStateStack_;
    std::shared_ptr<Collections> collections_;
    std::optional<platform::PdfObject> resources_;
    std::shared_ptr<QVPDFFontCache> fontCache_;
    int formDepth_ = 0;
    QVPDFPageBudget pageBudget_;
    // Shared by a page's interpreter and the form interpreters it starts.
    std::shared_ptr<PageContext> page_;
    // A form without /Resources resolves names in the stream that invoked it.
    std::shared_ptr<Collections> inheritedCollections_;
    std::optional<platform::PdfObject> inheritedResources_;
    // Stack depth below which a restore of this stream is ignored.
    size_t restoreFloor_ = 1;
};
