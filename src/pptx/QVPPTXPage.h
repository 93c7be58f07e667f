#pragma once
// One slide: its shapes in drawing order, its relationships (the slide layout
// first, then images) and the state of the text box being filled. The slide
// part and its relationships go into the writer's store of parts when the page
// ends, both or neither: a page that fails leaves no part behind.

#include "pptx/QVPPTXParagraph.h"
#include "pptx/QVPPTXShape.h"
#include "pptx/QVPPTXTextbox.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QVDeflatedPartStore;
class XMLFileWriter;

class QVPPTXPage {
public:
    struct Relationship {
        std::string type;
        std::string target; ///< relative to ppt/slides
    };

    /// Slide `pageNumber` (from 1), whose parts go into `parts` (which
    /// outlives the page).
    QVPPTXPage(uint64_t pageNumber, QVDeflatedPartStore& parts);

    /// Starts the shape and relationship lists (the slide layout is rId1).
    void begainWritePage(uint64_t pageNumber);
    /// Stores ppt/slides/slideN.xml and its relationships; raises when a part
    /// cannot be written (neither is then stored).
    void endWritePage(uint64_t pageNumber);

    /// The id of the relationship to the medium, or none.
    std::optional<std::string> findExistRelsWithImagePath(const std::string& mediaPath) const;
    std::string addNewRelsWithImagePath(const std::string& mediaPath);

    /// The open text box's last paragraph (a default one for an empty list).
    QVPPTXParagraph& lastTextBoxParagraph();
    /// Appends a paragraph with the properties of the last one.
    QVPPTXParagraph& newTextBoxParagraph();
    /// The widest line of the open text box (margin plus text), points.
    double maxTextBoxWidth() const;
    /// The sum of the open text box's line spacings, points.
    double totalTextBoxHeight() const;

    uint64_t pageNumber() const { return pageNumber_; }
    bool isUsingTextBox() const { return isUsingTextBox_; }
    void setIsUsingTextBox(bool v) { isUsingTextBox_ = v; }
    std::vector<std::shared_ptr<QVPPTXParagraph>>& cachedTextBoxParagraphs() {
        return cachedTextBoxParagraphs_;
    }
    const std::shared_ptr<QVPPTXTextBoxInfo>& cachedTextBoxInfo() const {
        return cachedTextBoxInfo_;
    }
    void setCachedTextBoxInfo(std::shared_ptr<QVPPTXTextBoxInfo> v) {
        cachedTextBoxInfo_ = std::move(v);
    }
    const std::vector<Relationship>& pageRelsArr() const { return pageRelsArr_; }
    std::vector<std::shared_ptr<QVPPTXShape>>& sharepsArr() { return sharepsArr_; }
    /// The names of the slide's parts in the package.
    const std::string& slidePath() const { return slidePath_; }
    const std::string& relsPath() const { return relsPath_; }

    /// Shapes one slide may hold: the densest sound pages draw tens of
    /// thousands of paths; more fails the page (the slide's budget).
    static constexpr size_t kMaxShapesPerSlide = 200'000;

private:
    void writePage(XMLFileWriter& writer);
    void writeRels(XMLFileWriter& writer) const;

    uint64_t pageNumber_;
    QVDeflatedPartStore& parts_;
    std::string slidePath_;
    std::string relsPath_;
    bool isUsingTextBox_ = false;
    std::vector<std::shared_ptr<QVPPTXParagraph>> cachedTextBoxParagraphs_;
    std::shared_ptr<QVPPTXTextBoxInfo> cachedTextBoxInfo_;
    std::vector<Relationship> pageRelsArr_;
    std::vector<std::shared_ptr<QVPPTXShape>> sharepsArr_;
};
