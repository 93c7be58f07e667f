#pragma once
// One converted PDF page of the document: the runs the exporter collects
// while the page is interpreted, and the paragraphs the layout makes of them
// at the page end. Positions are display-space points (y downward).

#include "docx/QVDocxProperties.h"

#include <memory>
#include <optional>
#include <vector>

#include "platform/Geometry.h"

class QVDocxParagraph;
class QVDocxRunPict;
class QVDocxRunText;
class XMLFileWriter;

class QVDocxPage {
public:
    using RunTextArray = std::vector<std::shared_ptr<QVDocxRunText>>;
    using RunPictArray = std::vector<std::shared_ptr<QVDocxRunPict>>;
    using ParagraphArray = std::vector<std::unique_ptr<QVDocxParagraph>>;

    /// A page of the given size writing into the document body through `writer`
    /// (which outlives the page).
    QVDocxPage(XMLFileWriter* writer, platform::Size pageSize, bool lastPage);
    ~QVDocxPage();
    QVDocxPage(const QVDocxPage&) = delete;
    QVDocxPage& operator=(const QVDocxPage&) = delete;

    void begainWritePage(int64_t pageIndex);

    XMLFileWriter* documentWriter() const { return documentWriter_; }
    bool isLastPage() const { return isLastPage_; }
    const QVDocx_SectPr& sectProperty() const { return sectProperty_; }
    QVDocx_SectPr& sectProperty() { return sectProperty_; }
    ParagraphArray& paragraphArray() { return paragraphArray_; }
    RunTextArray& allRunTextArray() { return allRunTextArray_; }
    RunPictArray& runTextBoxArray() { return runTextBoxArray_; }
    RunPictArray& runImageArray() { return runImageArray_; }
    RunPictArray& runPathArray() { return runPathArray_; }

    bool isUsingTextBox() const { return isUsingTextBox_; }
    void setIsUsingTextBox(bool v) { isUsingTextBox_ = v; }
    bool isUsingTextPath() const { return isUsingTextPath_; }
    void setIsUsingTextPath(bool v) { isUsingTextPath_ = v; }

    // Paragraphs of the open text box.
    /// Resolves the box's last paragraph and starts a new one with its properties.
    QVDocxParagraph& newTextBoxParagraph();
    QVDocxParagraph* lastTextBoxParagraph();
    double totalTextBoxHeight() const;
    double maxTextBoxWidth() const;
    ParagraphArray& cachedTextBoxParagraphs() { return cachedTextBoxParagraphs_; }

    // Run merging: pieces of text drawn one after the other on one baseline
    // with one look join into one run, with spaces for their gaps.
    /// The group of runs that joins the first of `runs` (draw order); the
    /// joining runs get their leading spaces and their position moved.
    static RunTextArray _findMergeRunArray(const RunTextArray& runs);
    /// Folds a group into its first run, which is returned.
    static std::shared_ptr<QVDocxRunText> _mergeRunArray(const RunTextArray& group);

private:
    XMLFileWriter* documentWriter_ = nullptr;
    bool isLastPage_ = false;
    QVDocx_SectPr sectProperty_;
    ParagraphArray paragraphArray_;
    RunTextArray allRunTextArray_;
    RunPictArray runTextBoxArray_;
    RunPictArray runImageArray_;
    RunPictArray runPathArray_;
    bool isUsingTextBox_ = false;
    ParagraphArray cachedTextBoxParagraphs_;
    bool isUsingTextPath_ = false;
};
