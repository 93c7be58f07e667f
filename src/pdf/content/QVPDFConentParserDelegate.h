#pragma once
// What the content interpreter reports while it runs, synchronously. During a
// report the delegate reads the current state from the interpreter
// (currentRenderingState) to place and style what is reported. Every report
// is optional; exceptions thrown by a report end the page's interpretation.

#include "platform/Geometry.h"
#include "platform/Path.h"

#include <memory>
#include <string>

class QVPDFConentParser;
class QVPDFImageXObject;

class QVPDFConentParserDelegate {
public:
    virtual ~QVPDFConentParserDelegate() = default;

    /// One shown string, or one piece of it: a string is cut where blanks or
    /// character spacing leave a gap wider than 0.8 em, and wide blanks before
    /// or after its text are left out. The decoded text (never empty) and the
    /// advance of the piece in text space before the text matrix; the state's
    /// text matrix is that of the piece's start.
    virtual void didScanText(QVPDFConentParser& parser, const std::u16string& text,
                             platform::Size textOffset) {
        (void)parser, (void)text, (void)textOffset;
    }
    /// A painted path in user space (the CTM not applied), valid during the call.
    virtual void didScanPath(QVPDFConentParser& parser, const platform::Path& path, bool stroke,
                             bool fill) {
        (void)parser, (void)path, (void)stroke, (void)fill;
    }
    /// An image XObject or inline image was drawn; none when no image object
    /// of that name is available.
    virtual void didScanXObjectImage(QVPDFConentParser& parser,
                                     const std::shared_ptr<const QVPDFImageXObject>& image) {
        (void)parser, (void)image;
    }
    /// Whether drawn images are written to their files before they are
    /// reported. A delegate that keeps nothing of images answers false: its
    /// images are reported unwritten, which spares decoding and encoding them
    /// and leaves no files behind.
    virtual bool wantsImageFiles() const { return true; }
};
