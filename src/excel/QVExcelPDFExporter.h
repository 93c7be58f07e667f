#pragma once
// The exporter of the spreadsheet formats ("xlsx" and "csv"). Its job is
// capture: every string a page shows becomes a text run in the page's display
// space with the properties the cell styles need; flipped and turned text is
// dropped (a page whose text all runs at one of 90, 180 or 270 degrees is
// read turned, as its text reads), pieces that continue each other on one baseline are joined, and,
// when the options ask for it, filled areas become cell fills. Everything
// after capture (table analysis, worksheets, page files, the package) is the
// document writer's.

#include "converter/QVOverprint.h"
#include "converter/QVPDFPageExporter.h"
#include "excel/analysis/QVExcelRunText.h"
#include "excel/analysis/QVExcelRunTextProperty.h"
#include "excel/workbook/QVExcelWriter.h"
#include "pdf/QVPDFPageGeometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QVExcelPage;
class QVPDFFont;
class QVExcelPageFactory;

class QVExcelPDFExporter : public QVPDFPageExporter {
public:
    /// `destDocType` picks the writer's format ("csv" the page files, anything
    /// else the workbook); `pageFactory` makes the page models (the standard
    /// ones when none is given).
    explicit QVExcelPDFExporter(const std::string& destDocType = "xlsx",
                                std::shared_ptr<QVExcelPageFactory> pageFactory = nullptr);
    /// Releases the writer and ends the per-document spreadsheet state.
    ~QVExcelPDFExporter() override;

    /// Resets the per-document state and creates the document writer; raises
    /// when the writer's work folder cannot be made.
    void begainConvertPDF(const std::string& outputPath) override;
    /// Writes the workbook or moves the page files into place; false when the
    /// output could not be made (or nothing was begun).
    bool endConvertPDF(platform::PdfDocument& document) override;
    /// Nothing: a cancelled conversion leaves its work folder.
    void cleanConvertPDF() override {}
    std::optional<std::string> droppedPageTextReason() const override;

    void didScanText(QVPDFConentParser& parser, const std::u16string& text,
                     platform::Size textOffset) override;
    void didScanPath(QVPDFConentParser& parser, const platform::Path& path, bool stroke,
                     bool fill) override;
    /// The spreadsheet keeps nothing of images: they are not written to files.
    bool wantsImageFiles() const override { return false; }

    /// While set, text reports are ignored (cleared at begin).
    bool isShouldCancel() const { return isShouldCancel_; }
    void setIsShouldCancel(bool v) { isShouldCancel_ = v; }
    /// Runs created so far in the document; the next run's draw index.
    uint64_t runTextCount() const { return runTextCount_; }
    QVExcelWriter* pdfConverter() const { return pdfConverter_.get(); }

    /// The run properties of the current text state (defaults without a font).
    QVExcelRunTextProperty currentRProperty() const;

    /// Text turned less than this either way counts as horizontal (degrees).
    static constexpr float kHorizontalTolerance = 5.0f;
    /// Runs whose box lies farther than this outside the page are dropped
    /// (points): 14400 is the largest page side PDF allows, so such text can
    /// only come from a degenerate matrix.
    static constexpr double kFarOffPage = 14400.0;
    /// Text runs one page may hold (after joining): the densest sound pages
    /// hold tens of thousands; more fails the page (a budget of the page).
    static constexpr size_t kMaxRunsPerPage = 100'000;

protected:
    void resetPageState() override;
    void beginWriterPage(platform::Size pageSize) override;
    /// A page whose text all runs at one of 90, 180 or 270 degrees is read
    /// as its text reads: its rows are the text's lines.
    bool readsPageInTextOrientation() const override { return true; }
    void restartWriterPage(platform::Size pageSize) override;
    void endWriterPage() override;

private:
    /// What a run's properties take from its font alone: kept for the font
    /// last shown, as most runs repeat it.
    struct FontFace {
        std::shared_ptr<const QVPDFFont> font;
        std::string rFont, family;
        bool bold = false, italic = false;
    };
    const FontFace& faceOf(const std::shared_ptr<const QVPDFFont>& font) const;
    mutable FontFace lastFace_;

    void collectRunText(const std::u16string& text, platform::Size textOffset);
    void addToAllRunTextArray(const std::shared_ptr<QVExcelRunText>& run, double wordSpace);
    /// A string of blanks joins the last run when it touches its end, so a
    /// word touching the blanks' end still joins; blanks wider than 0.8 em
    /// (of the blanks' font) are cut off again and close the run. Blanks that
    /// touch no run are dropped: they are never a run of their own.
    void addTrailingBlanks(const QVExcelRunText& blanks, double em);
    void forgetTrailingBlanks();
    /// Drops the last run, before anything joins it and at the page's end,
    /// when it is an overprint of one of the few runs before it: a word drawn
    /// again a fraction of a point aside to look bold is one word, not two
    /// cells. Answers whether it dropped the run. It looks back only a few
    /// runs: the last run is checked again each time a piece arrives, and a
    /// copy drawn glyph by glyph farther back would lose its first glyphs as
    /// prefixes of the run under it, and the rest of the copy stay.
    /// Copies of runs drawn farther back go at the page's end.
    static bool dropOverprintedLastRun(std::vector<std::shared_ptr<QVExcelRunText>>& runs,
                                       double lastTextEnd);
    /// Where the last run's text ends, before blanks joined to it.
    double lastRunTextEnd() const;
    /// Drops, once the page's runs are joined, each run that repeats a run
    /// drawn before it anywhere on the page (a box drawn again later, in
    /// another black), by the page-wide overprint index the other outputs
    /// use, judging whole runs in the order they were drawn.
    void dropFarOverprints(std::vector<std::shared_ptr<QVExcelRunText>>& runs);
    /// Whether two of the runs start, or end, at one place: without that no
    /// run can repeat another, and the index is not asked.
    bool mayHoldOverprints(const std::vector<std::shared_ptr<QVExcelRunText>>& runs);
    /// The overprint look (size and colour) of run properties.
    static uint64_t lookOf(const QVExcelRunTextProperty& p);
    /// Whether `run` repeats `earlier` on its baseline with its look (the
    /// same size, a colour no reader tells apart), blanks after either aside:
    /// the start of its text from its start, or the end of its text to its
    /// end (within 1 point), the whole text included.
    /// `runTextEnd` is where the run's text ends before blanks joined to it.
    static bool isOverprintOf(const QVExcelRunText& run, double runTextEnd,
                              const QVExcelRunText& earlier);
    /// Whether one of the few runs before the last has its middle between
    /// `gapStart` and the start of `run` on its line: then the gap is no space.
    static bool isGapFilled(const std::vector<std::shared_ptr<QVExcelRunText>>& runs,
                            double gapStart, const QVExcelRunText& run);
    /// Whether `letter` is a large initial (raised or dropped) of `word`: one
    /// Latin letter, before a word going on in Latin letters, at least twice the word's size (so a
    /// letter with its subscript or superscript is not one), the word starting within half its size
    /// after it, on a line that lies within the letter's height.
    static bool isInitialLetter(const QVExcelRunText& letter, const QVExcelRunText& word);
    static constexpr double kInitialLetterScale = 2.0;
    /// Runs before the last one that an overprint is looked for among.
    static constexpr size_t kOverprintWindow = 8;
    void collectFills(const platform::Path& displayPath);
    bool isPlausibleRun(const QVExcelRunText& run) const;

    std::string destDocType_;
    std::shared_ptr<QVExcelPageFactory> pageFactory_;
    std::unique_ptr<QVExcelWriter> pdfConverter_;
    // The writer's current page as the page model the runs go to; none when
    // the page factory made another kind of page.
    QVExcelPage* currentPage_ = nullptr;
    uint64_t runTextCount_ = 0;
    bool isShouldCancel_ = false;
    bool isNotScanTextYet_ = true;
    // Whether the page kept any text (for the report of a page left empty).
    bool pageKeptText_ = false;
    // The page-wide index of runs, kept to reuse its storage page after page.
    QVOverprintIndex overprints_;
    std::vector<uint64_t> placeKeys_;
    // Blanks joined to the last run: where they begin, how many text units
    // they hold, and the run's width before them. A closed last run has had
    // wide blanks cut off and joins nothing more.
    double trailingBlankStart_ = 0;
    double trailingBlankWidth_ = 0;
    size_t trailingBlankLength_ = 0;
    bool isLastRunClosed_ = false;
    // Whether the run before the last was closed when the last one came.
    bool isRunBeforeLastClosed_ = false;

    double nextCharFontSize_ = 1.0;
    platform::AffineTransform nextCharTransform_{};
    QVPDF_CTMInfo nextCharCTMInfo_{};
    double mainTextFontSize_ = 1.0;
    platform::AffineTransform mainTextTransform_{};
    QVPDF_CTMInfo mainTextCTMInfo_{};
};
