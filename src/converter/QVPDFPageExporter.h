#pragma once
// The frame in which every exporter converts one page: page geometry, a fresh
// graphics-state stack, the writer's page, the content interpreter run with
// the exporter as its delegate, and the end of the writer's page, which
// happens even when the run throws (the page then fails, the next one goes on).

#include "converter/QVPDFExporter.h"
#include "pdf/QVPDFPageGeometry.h"
#include "pdf/content/QVPDFConentParserDelegate.h"
#include "platform/Geometry.h"

#include <memory>

class RenderingStateStack;
class QVPDFFontCache;
namespace platform {
struct PdfDocumentImpl;
class PdfContentStream;
} // namespace platform

class QVPDFPageExporter : public QVPDFExporter, public QVPDFConentParserDelegate {
public:
    bool convertPDFPage(const platform::PdfPage* page) final;
    bool pageShowedText() const override { return pageVisibleStrings_ > 0; }

    /// The rotated media box at (0, 0) of the page being converted (turned
    /// with the frame when the page is read in its text's orientation).
    const platform::Rect& currentPageMediaBox() const { return currentPageMediaBox_; }
    /// PDF user space to display space for the page being converted; the media
    /// box's lower-left corner is taken off first so content stays on the page.
    /// A page read in its text's orientation has its display space turned.
    const platform::AffineTransform& currentPageTransform() const { return currentPageTransform_; }
    int currentPageRotation() const { return currentPageRotation_; }
    /// The page's graphics states while it is interpreted; the reports read its top.
    const std::shared_ptr<RenderingStateStack>& renderingStateStack() const {
        return renderingStateStack_;
    }

    /// Text space to display space at the current text position: the
    /// glyphs' own turn (the font's orientation, a negative horizontal
    /// scaling's mirror), the text matrix, the CTM, then the page transform
    /// (the page transform alone outside a run).
    platform::AffineTransform currentDisplayTextTransform() const;
    /// The same with the text matrix first moved by `offset` in text space.
    platform::AffineTransform nextDisplayTextTransform(platform::Size offset) const;
    /// Horizontal and vertical display-space extent of a step of `width`
    /// along the baseline at the current text position (none outside a run).
    platform::Size convertToDisplaySpaceWidth(double width) const;

    /// Text turned less than this either way from an angle runs at that
    /// angle (degrees): a page scanned slightly askew is still level.
    static constexpr float kTextAngleTolerance = 5.0f;

protected:
    /// Resets the exporter's own per-page text state.
    virtual void resetPageState() {}
    virtual void beginWriterPage(platform::Size pageSize) { (void)pageSize; }
    /// An exporter that reads a page in its text's orientation answers true
    /// and tells each string of visible text with notePageTextGeometry: a
    /// page whose text all runs at one of 90, 180 or 270 degrees as shown
    /// is then read again with its frame turned so that the text is level.
    virtual bool readsPageInTextOrientation() const { return false; }
    void notePageTextGeometry(const std::u16string& text, const QVPDF_CTMInfo& geometry);
    /// Before a page is read again turned: the writer's page takes its new
    /// size and forgets what the first reading put into it.
    virtual void restartWriterPage(platform::Size pageSize) { (void)pageSize; }
    /// Closes whatever the page left open (text boxes, text paths).
    virtual void closeOpenObjects() {}
    virtual void endWriterPage() {}

private:
    friend struct QVPDFPageExporterAccess;
    friend class QVPDFPageTextCounter;
    void interpretPage(const platform::PdfPage& page,
                       const std::shared_ptr<platform::PdfContentStream>& content);
    /// The turn (90, 180 or 270 degrees clockwise as shown) that makes all
    /// of the page's text level, or 0.
    int pageTextTurn() const;
    void turnPageFrame(int turn);
    /// Whether the glyph box of a string `textOffset` long at the current
    /// text position lies wholly outside the media box: text no reader of the
    /// page sees, which no output keeps.
    bool isTextOffPage(platform::Size textOffset) const;

    platform::Rect currentPageMediaBox_{};
    platform::AffineTransform currentPageTransform_{};
    int currentPageRotation_ = 0;
    std::shared_ptr<RenderingStateStack> renderingStateStack_;
    // Fonts parsed once per document: the cache is renewed when the pages
    // come from another document.
    std::weak_ptr<platform::PdfDocumentImpl> fontCacheDocument_;
    std::shared_ptr<QVPDFFontCache> fontCache_;
    // The page's strings of visible text, all of them and by the angle they
    // run at as shown: level, 90, 180, 270, any other or mirrored.
    size_t pageVisibleStrings_ = 0;
    size_t pageTextAngles_[5] = {};
};
