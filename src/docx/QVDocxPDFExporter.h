#pragma once
// The exporter of the word-processing format ("docx"). It owns the document
// writer for one document and, page by page, turns what the interpreter
// reports into runs of the writer's current page: every horizontal string
// becomes a text run with its glyph geometry and run properties (main-text
// capture). The page end lays the runs out and streams them into the document.
//
// Text at 90 or 270 degrees goes into floating text boxes, slanted or
// mirrored text onto text paths, painted paths into floating shapes and
// images into floating pictures (clipped where the page clips them); the
// page end anchors them in front of or behind the text by painting order.

#include "converter/QVOverprint.h"
#include "converter/QVPDFImageCapture.h"
#include "converter/QVPDFPageExporter.h"
#include "docx/QVDocxProperties.h"
#include "docx/QVDocxWriter.h"
#include "pdf/QVPDFPageGeometry.h"
#include "pdf/font/ReaderFontNames.h"

#include <memory>
#include <optional>
#include <string>

class QVDocxPDFExporter : public QVPDFPageExporter {
public:
    QVDocxPDFExporter() = default;
    ~QVDocxPDFExporter() override;

    /// Creates the document writer and starts the document; raises when the
    /// work folder or document.xml cannot be made.
    void begainConvertPDF(const std::string& outputPath) override;
    /// Ends document.xml and writes the package; raises with the reason when
    /// a step of packaging failed (no file is then under the output path).
    bool endConvertPDF(platform::PdfDocument& document) override;
    /// Releases the writer, which removes the work folder.
    void cleanConvertPDF() override;

    void didScanText(QVPDFConentParser& parser, const std::u16string& text,
                     platform::Size textOffset) override;
    void didScanPath(QVPDFConentParser& parser, const platform::Path& path, bool stroke,
                     bool fill) override;
    void didScanXObjectImage(QVPDFConentParser& parser,
                             const std::shared_ptr<const QVPDFImageXObject>& image) override;
    bool wantsImageFiles() const override { return true; }

    QVDocxWriter* pdfConverter() const { return pdfConverter_.get(); }

    /// Run properties of the text about to be placed (the defaults without a font).
    QVDocx_RPr currentRProperty() const;
    /// The main-text capture of one string.
    void usingDocxMainText(const std::u16string& text, platform::Size textOffset);
    // Text boxes (vertical text) and text paths (slanted or mirrored text).
    void newDocxTextBox(const std::u16string& text, platform::Size textOffset);
    void usingDocxTextBox(const std::u16string& text, platform::Size textOffset);
    void appendDocxTextBox(const std::u16string& text, platform::Size textOffset);
    void endTextBoxWritingIfNeed();
    void newDocxTextPath(const std::u16string& text, platform::Size textOffset);
    void usingDocxTextPath(const std::u16string& text, platform::Size textOffset);
    void appendDocxTextPath(const std::u16string& text, platform::Size textOffset);
    void endTextPathWritingIfNeed();

    double mainTextFontSize() const { return mainTextFontSize_; }
    const platform::AffineTransform& mainTextTransform() const { return mainTextTransform_; }
    const QVPDF_CTMInfo& mainTextCTMInfo() const { return mainTextCTMInfo_; }
    void setNextCharFontSize(double v) { nextCharFontSize_ = v; }
    void setNextCharTransform(const platform::AffineTransform& v) { nextCharTransform_ = v; }
    void setNextCharCTMInfo(const QVPDF_CTMInfo& v) { nextCharCTMInfo_ = v; }

    /// Text turned less than this (degrees, either way) counts as horizontal.
    static constexpr float kHorizontalTolerance = 5.0f;
    /// Runs whose geometry lies farther than this outside the page are
    /// dropped (points): 14400 is the largest page side PDF allows, so such
    /// text can only come from a degenerate matrix.
    static constexpr double kFarOffPage = 14400.0;
    /// Smallest font size written (points): smaller print keeps 1 pt.
    static constexpr float kMinFontSize = 1.0f;
    /// Largest font size WordprocessingML holds (1638 pt, in half points 3276).
    static constexpr float kMaxFontSize = 1638.0f;
    /// Text runs one page may hold: the densest sound pages hold tens of
    /// thousands; more fails the page (the layout's budget).
    static constexpr size_t kMaxRunsPerPage = 100'000;

protected:
    void resetPageState() override;
    void beginWriterPage(platform::Size pageSize) override;
    void closeOpenObjects() override;
    void endWriterPage() override;

private:
    bool isPlausible(const QVPDF_CTMInfo& g, double textWidth) const;
    QVPDF_CTMInfo currentCTMInfo() const;
    void advancePrediction(platform::Size textOffset);
    /// Back to the main text's prediction, then the main-text capture.
    void handBackToMainText(const std::u16string& text, platform::Size textOffset);
    /// Closes an open text box or text path before a shape or picture.
    void closeOpenTextForGraphics();
    /// Spaces standing for a gap of `gap` points along a line of text.
    static size_t gapSpaces(double gap, double spaceWidth, double fontHeight);

    std::unique_ptr<QVDocxWriter> pdfConverter_;
    /// The reader's face of the font last asked for: a page shows string
    /// after string in one font, and naming the face takes long.
    struct FontFace {
        std::shared_ptr<const QVPDFFont> font;
        ReaderFontFace face;
    };
    mutable FontFace lastFace_;
    double mainTextFontSize_ = 1.0;
    platform::AffineTransform mainTextTransform_{};
    QVPDF_CTMInfo mainTextCTMInfo_{};
    double nextCharFontSize_ = 1.0;
    platform::AffineTransform nextCharTransform_{};
    QVPDF_CTMInfo nextCharCTMInfo_{};
    bool isNotScanTextYet_ = true;
    /// The page's strings as drawn, to read overprinted ones once.
    QVOverprintIndex overprints_;
    /// The draw index of the last run when the index keeps it tentatively.
    std::optional<uint64_t> tentativeRun_;
    /// Centre line of the open text path's first glyph (display points).
    platform::Point textPathStartCentre_{};
    /// Images drawn the same way again reuse their derived files.
    QVPDFDerivedImageFiles derivedImages_;
};
