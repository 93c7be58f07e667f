#pragma once
// The exporter of the flowing-text outputs ("html", "rtf", "txt"). It owns the
// family's document writer for one document and, page by page, turns every
// string of main text the interpreter reports into a run text of the writer's
// current page; the page end lays the runs out and writes them.
//
// Main text is unmirrored text turned less than 5 degrees either way from the
// horizontal: a page scanned slightly askew (-0.4 degrees reads as 359.6) is
// still text. Vertical, slanted (upside down included) and mirrored strings
// go into a text box (its lines and runs) or a text path (its string) of the
// page, which these outputs discard when it closes: they carry horizontal
// text only, except on a page whose text all runs at one of 90, 180 or 270
// degrees: that page is read turned, as its text reads. A page whose text
// was all left out is named by droppedPageTextReason, so its empty page is
// not a silent success.
//
// Strings drawn again over themselves (fake bold) are read once, and a blank
// that continues no text and is drawn over by the glyph after it is no space.

#include "converter/QVOverprint.h"
#include "converter/QVPDFPageExporter.h"
#include "docx/QVDocxProperties.h"
#include "flow/QVFlowPDFConverter.h"
#include "flow/QVFlowRunText.h"
#include "pdf/QVPDFPageGeometry.h"

#include <memory>
#include <optional>
#include <string>

class QVFlowPDFExporter : public QVPDFPageExporter {
public:
    explicit QVFlowPDFExporter(QVFlowFamily family) : family_(family) {}
    ~QVFlowPDFExporter() override;

    /// Creates the family's document writer and starts the document (a
    /// second call releases the first writer); raises when the output or its
    /// work folder cannot be made.
    void begainConvertPDF(const std::string& outputPath) override;
    /// Completes the output and moves it under its name; raises with the
    /// reason when it cannot.
    bool endConvertPDF(platform::PdfDocument& document) override;
    /// Releases the writer, which removes the unfinished output.
    void cleanConvertPDF() override;
    std::optional<std::string> droppedPageTextReason() const override;

    void didScanText(QVPDFConentParser& parser, const std::u16string& text,
                     platform::Size textOffset) override;
    bool wantsImageFiles() const override { return false; }

    QVFlowFamily family() const { return family_; }
    QVFlowPDFConverter* pdfConverter() const { return pdfConverter_.get(); }
    bool isShouldCancel() const { return isShouldCancel_; }

    /// Run properties of the text about to be placed (the defaults without a font).
    QVDocx_RPr currentRProperty() const;

    /// The main-text road of one string.
    void usingDocxMainText(const std::u16string& text, platform::Size textOffset);
    void newDocxTextBox(const std::u16string& text, platform::Size textOffset);
    void usingDocxTextBox(const std::u16string& text, platform::Size textOffset);
    void appendDocxTextBox(const std::u16string& text, platform::Size textOffset);
    void endTextBoxWritingIfNeed();
    void newDocxTextPath(const std::u16string& text, platform::Size textOffset);
    void usingDocxTextPath(const std::u16string& text, platform::Size textOffset);
    void appendDocxTextPath(const std::u16string& text, platform::Size textOffset);
    void endTextPathWritingIfNeed();

    /// Rotation (degrees, clockwise 0..360) that counts as horizontal: less
    /// than this either way of 0.
    static constexpr float kHorizontalTolerance = 5.0f;
    /// Runs whose geometry lies farther than this outside the page are
    /// dropped (points): 14400 is the largest page side PDF allows, so such
    /// text can only come from a degenerate matrix.
    static constexpr double kFarOffPage = 14400.0;
    /// Smallest and largest font sizes written (points).
    static constexpr float kMinFontSize = 1.0f;
    static constexpr float kMaxFontSize = 1638.0f;
    /// Text runs one page may hold: more fails the page (the layout's budget).
    static constexpr size_t kMaxRunsPerPage = 100'000;

protected:
    void resetPageState() override;
    void beginWriterPage(platform::Size pageSize) override;
    /// A page whose text all runs at one of 90, 180 or 270 degrees is read
    /// as its text reads (a table printed across the page, a page stored
    /// turned).
    bool readsPageInTextOrientation() const override { return true; }
    void restartWriterPage(platform::Size pageSize) override;
    void closeOpenObjects() override;
    void endWriterPage() override;

private:
    QVPDF_CTMInfo currentCTMInfo() const;
    void advancePrediction(platform::Size textOffset);
    void handBackToMainText(const std::u16string& text, platform::Size textOffset);
    bool isPlausible(const QVPDF_CTMInfo& g, double textWidth) const;
    std::shared_ptr<QVFlowRunText> newRunText() const;

    QVFlowFamily family_;
    std::unique_ptr<QVFlowPDFConverter> pdfConverter_;
    bool isShouldCancel_ = false;
    double mainTextFontSize_ = 1.0;
    platform::AffineTransform mainTextTransform_{};
    QVPDF_CTMInfo mainTextCTMInfo_{};
    double nextCharFontSize_ = 1.0;
    platform::AffineTransform nextCharTransform_{};
    QVPDF_CTMInfo nextCharCTMInfo_{};
    bool isNotScanTextYet_ = true;
    // Text box and text path frames of the page (display points, degrees).
    float textBoxRotation_ = 0;
    double textBoxDisplayX_ = 0;
    platform::Point textPathOrigin_{};
    // What the page showed and what of it was kept, for the page report.
    size_t pageVisibleStrings_ = 0;
    size_t pageMainRuns_ = 0;
    size_t pageDroppedStrings_ = 0;
    size_t pageTextBoxRuns_ = 0;
    // The page's strings as drawn, to read overprinted ones once.
    QVOverprintIndex overprints_;
    // The draw index of the last run when the index keeps it tentatively.
    std::optional<uint64_t> tentativeRun_;
    // Whether the page's last run is a blank that continues no text.
    bool lastRunIsLooseBlank_ = false;
};

/// The three families' exporters.
class QVHTMLPDFExporter final : public QVFlowPDFExporter {
public:
    QVHTMLPDFExporter() : QVFlowPDFExporter(QVFlowFamily::HTML) {}
};
class QVRTFPDFExporter final : public QVFlowPDFExporter {
public:
    QVRTFPDFExporter() : QVFlowPDFExporter(QVFlowFamily::RTF) {}
};
class QVTextPDFExporter final : public QVFlowPDFExporter {
public:
    QVTextPDFExporter() : QVFlowPDFExporter(QVFlowFamily::Text) {}
};
