#pragma once
// The frame in which every exporter converts one page: page geometry, a fresh
// graphics-state stack, the writer's page, the content interpreter run with
// the exporter as its delegate, and the end of the writer's page, which
// happens even when the run throws (the page then fails, the next one goes on).

#include "converter/QVPDFExporter.h"
#include "pdf/content/QVPDFConentParserDelegate.h"
#include "platform/Geometry.h"

#include <memory>

class RenderingStateStack;
class QVPDFFontCache;
namespace platform {
struct PdfDocumentImpl;
}

class QVPDFPageExporter : public QVPDFExporter, public QVPDFConentParserDelegate {
public:
    bool convertPDFPage(const platform::PdfPage* page) final;

    /// The rotated media box at (0, 0) of the page being converted.
    const platform::Rect& currentPageMediaBox() const { return currentPageMediaBox_; }
    /// PDF user space to display space for the page being converted; the media
    /// box's lower-left corner is taken off first so content stays on the page.
    const platform::AffineTransform& currentPageTransform() const { return currentPageTransform_; }
    int currentPageRotation() const { return currentPageRotation_; }
    /// The page's graphics states while it is interpreted; the reports read its top.
    const std::shared_ptr<RenderingStateStack>& renderingStateStack() const {
        return renderingStateStack_;
    }

    /// Text space to display space at the current text position: the text
    /// matrix, then the CTM, then the page transform (the page transform
    /// alone outside a run).
    platform::AffineTransform currentDisplayTextTransform() const;
    /// The same with the text matrix first moved by `offset` in text space.
    platform::AffineTransform nextDisplayTextTransform(platform::Size offset) const;
    /// Horizontal and vertical display-space extent of a step of `width`
    /// along the baseline at the current text position (none outside a run).
    platform::Size convertToDisplaySpaceWidth(double width) const;

protected:
    /// Resets the exporter's own per-page text state.
    virtual void resetPageState() {}
    virtual void beginWriterPage(platform::Size pageSize) { (void)pageSize; }
    /// Closes whatever the page left open (text boxes, text paths).
    virtual void closeOpenObjects() {}
    virtual void endWriterPage() {}

private:
    friend struct QVPDFPageExporterAccess;
    platform::Rect currentPageMediaBox_{};
    platform::AffineTransform currentPageTransform_{};
    int currentPageRotation_ = 0;
    std::shared_ptr<RenderingStateStack> renderingStateStack_;
    // Fonts parsed once per document: the cache is renewed when the pages
    // come from another document.
    std::weak_ptr<platform::PdfDocumentImpl> fontCacheDocument_;
    std::shared_ptr<QVPDFFontCache> fontCache_;
};
