#pragma once
// The exporter of the presentation format ("pptx"): one slide per page. It
// owns the package writer for one document and turns what the interpreter
// reports into shapes of the writer's current slide, in drawing order: text
// into text boxes, painted paths into freeforms (paths of many elements into
// pictures of the path as painted), images into pictures, clipped where the
// page clips them.
//
// Every slide has the size of the first page (held to the range the format
// allows); a page of another size is scaled uniformly into the slide and
// centred, so slide space is display space through slideTransform().

#include "converter/QVPDFImageCapture.h"
#include "converter/QVPDFPageExporter.h"
#include "pdf/QVPDFPageGeometry.h"
#include "pptx/QVPPTXProperties.h"
#include "pptx/QVPPTXUtilities.h"
#include "pptx/QVPPTXWriter.h"

#include <memory>
#include <string>

struct QVPPTXTextBoxInfo;

class QVPDFFont;

class QVPPTXPDFExporter : public QVPDFPageExporter {
public:
    QVPPTXPDFExporter() = default;
    ~QVPPTXPDFExporter() override;

    void begainConvertPDF(const std::string& outputPath) override;
    /// Writes the package; raises with the reason when that failed (no file
    /// is then under the output path).
    bool endConvertPDF(platform::PdfDocument& document) override;
    /// Releases the writer, which removes the work folder.
    void cleanConvertPDF() override;

    void didScanText(QVPDFConentParser& parser, const std::u16string& text,
                     platform::Size textOffset) override;
    void didScanPath(QVPDFConentParser& parser, const platform::Path& path, bool stroke,
                     bool fill) override;
    void didScanXObjectImage(QVPDFConentParser& parser,
                             const std::shared_ptr<const QVPDFImageXObject>& image) override;

    QVPPTXWriter* pdfConverter() const { return pdfConverter_.get(); }

    /// Display space of the page to slide space (identity for pages of the
    /// first page's size).
    const platform::AffineTransform& slideFitTransform() const { return slideFit_; }
    /// PDF user space of the page to slide space.
    platform::AffineTransform slideTransform() const;
    // The page exporter's text transforms, in slide space: they end with the
    // slide's fit of the page.
    platform::AffineTransform currentDisplayTextTransform() const;
    platform::AffineTransform nextDisplayTextTransform(platform::Size offset) const;
    platform::Size convertToDisplaySpaceWidth(double width) const;
    QVPPTX_RunPr currentRProperty() const;

    void newPPTXTextBox(const std::u16string& text, platform::Size textOffset);
    void usingPPTXTextBox(const std::u16string& text, platform::Size textOffset);
    void appendPPTXTextBox(const std::u16string& text, platform::Size textOffset,
                           double blankWidth);
    void endTextBoxWritingIfNeed();

    /// A path of this many elements or more is drawn into a picture.
    static constexpr size_t kRasterElements = 28;
    /// Text turned less than this from 0, 90 or 270 degrees counts as such.
    static constexpr float kRotationSnap = 5.0f;
    /// A line this far below the last one (points) starts a new text box.
    static constexpr double kMaxLineStep = 96.0;
    /// A text box is this much wider than its widest line, plus the margin (points).
    static constexpr double kTextBoxRoom = 1.25;
    static constexpr double kTextBoxMargin = 4.0;
    /// Shapes farther than this outside the slide (points) come from
    /// degenerate matrices and are dropped: 14400 is the largest page side.
    static constexpr double kFarOffSlide = 14400.0;

protected:
    void resetPageState() override;
    void beginWriterPage(platform::Size pageSize) override;
    void closeOpenObjects() override;
    void endWriterPage() override;

private:
    void useCGPathToImage(const platform::Path& userPath, bool stroke, bool fill,
                          const std::vector<std::pair<platform::Path, bool>>& displayClips = {});
    bool isOnSlide(const platform::Rect& box) const;

    std::unique_ptr<QVPPTXWriter> pdfConverter_;
    /// Clipped and mirrored copies of the document's images, written once each.
    QVPDFDerivedImageFiles derivedImages_;
    platform::AffineTransform slideFit_{};
    /// Pixels the page's drawings may still take as pictures.
    double pagePixelBudget_ = QVPPTXUtilities::kMaxRasterPixelsPerPage;
    /// The number after which the next drawing's picture file is looked for.
    long long lastPathPicture_ = 0;
    /// Where the next glyph would start if the text went straight on.
    QVPDF_CTMInfo nextCharCTMInfo_{};
    platform::Point nextCharOrigin_{};
    /// The open box's first glyph: its frame corner (before rotation) and
    /// the directions along and across its lines.
    platform::Point boxCorner_{};
    platform::Point boxAlong_{1, 0};
    platform::Point boxAcross_{0, 1};
    /// The run font of the font last asked for: a page shows string after
    /// string in one font, and naming the reader's face for it takes long.
    struct RunFont {
        std::shared_ptr<const QVPDFFont> font;
        QVPPTX_RunPr_Font latin;
        bool bold = false;
        bool italic = false;
    };
    mutable RunFont lastRunFont_;
};
