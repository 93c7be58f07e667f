#pragma once
// The frame in which every exporter converts one page: page geometry, the
// writer's page, the content run with the exporter listening, and the end of
// the writer's page, which happens even when the content run throws.

#include "converter/QVPDFExporter.h"
#include "platform/Geometry.h"

#include <memory>

namespace platform {
class PdfContentStream;
class PdfObject;
} // namespace platform

class QVPDFPageExporter : public QVPDFExporter {
public:
    bool convertPDFPage(const platform::PdfPage* page) final;

    /// The rotated media box at (0, 0) of the page being converted.
    const platform::Rect& currentPageMediaBox() const { return currentPageMediaBox_; }
    /// PDF user space to display space for the page being converted; the media
    /// box's lower-left corner is taken off first so content stays on the page.
    const platform::AffineTransform& currentPageTransform() const { return currentPageTransform_; }
    int currentPageRotation() const { return currentPageRotation_; }

protected:
    /// Resets the exporter's own per-page text state.
    virtual void resetPageState() {}
    virtual void beginWriterPage(platform::Size pageSize) { (void)pageSize; }
    /// Runs the page's content with this exporter receiving the reports.
    virtual void
    interpretPageContent(const platform::PdfPage& page,
                         const std::shared_ptr<platform::PdfContentStream>& content) = 0;
    /// Closes whatever the page left open (text boxes, text paths).
    virtual void closeOpenObjects() {}
    virtual void endWriterPage() {}

private:
    friend struct QVPDFPageExporterAccess;
    platform::Rect currentPageMediaBox_{};
    platform::AffineTransform currentPageTransform_{};
    int currentPageRotation_ = 0;
};
