#pragma once
// A closed text box: a floating VML text box of vertical text whose content
// is ordinary paragraphs.

#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunPict.h"
#include "docx/QVDocxTextBoxInfo.h"

#include <memory>
#include <vector>

class QVDocxRunTextBox : public QVDocxRunPict {
public:
    using ParagraphArray = std::vector<std::unique_ptr<QVDocxParagraph>>;

    const QVDocxTextBoxInfo& pictInfo() const { return pictInfo_; }
    void setPictInfo(QVDocxTextBoxInfo v) { pictInfo_ = std::move(v); }
    const ParagraphArray& paragraphArray() const { return paragraphArray_; }
    void setParagraphArray(ParagraphArray v) { paragraphArray_ = std::move(v); }

    /// Where the box stands on the page.
    platform::Rect displayRect() const override;
    void writeWithXMLWriter(XMLFileWriter& writer) const override;

private:
    void _writeTextBox(XMLFileWriter& writer) const;

    QVDocxTextBoxInfo pictInfo_;
    ParagraphArray paragraphArray_;
};

/// Text along a path: a floating VML shape whose text is drawn to fit a
/// level frame turned by the text's angle.
class QVDocxRunTextPath : public QVDocxRunPict {
public:
    const std::u16string& runText() const { return runText_; }
    void setRunText(std::u16string v) { runText_ = std::move(v); }
    const QVDocxTextPathInfo& pictInfo() const { return pictInfo_; }
    void setPictInfo(QVDocxTextPathInfo v) { pictInfo_ = std::move(v); }

    /// The turned frame's bounding box on the page.
    platform::Rect displayRect() const override;
    void writeWithXMLWriter(XMLFileWriter& writer) const override;

private:
    void _writeTextPath(XMLFileWriter& writer) const;

    std::u16string runText_;
    QVDocxTextPathInfo pictInfo_;
};
