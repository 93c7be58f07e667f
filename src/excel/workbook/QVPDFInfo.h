#pragma once
// The document information written into the workbook's properties: the PDF
// information dictionary's descriptive strings where the PDF has them, the
// application's own texts from "QVPDFInfo.plist" of the QVCorvala bundle for
// the rest. Every text is valid UTF-8.

#include <memory>
#include <string>
#include <string_view>

namespace platform {
class PdfDocument;
}

class QVPDFInfo {
public:
    /// The filled record; none when no document is given.
    static std::unique_ptr<QVPDFInfo> initWithCGPDFDocument(const platform::PdfDocument* document);

    /// A PDF text string as UTF-8: UTF-16BE after the byte-order mark FE FF,
    /// UTF-8 after EF BB BF, PDFDocEncoding otherwise; undefined codes, lone
    /// surrogates and invalid UTF-8 become U+FFFD.
    static std::string decodePDFTextString(std::string_view bytes);

    const std::string& title() const { return title_; }
    void setTitle(std::string v) { title_ = std::move(v); }
    const std::string& author() const { return author_; }
    void setAuthor(std::string v) { author_ = std::move(v); }
    const std::string& subject() const { return subject_; }
    void setSubject(std::string v) { subject_ = std::move(v); }
    const std::string& keywords() const { return keywords_; }
    void setKeywords(std::string v) { keywords_ = std::move(v); }
    /// The application's company text; the PDF's Creator entry is not read.
    const std::string& creator() const { return creator_; }
    void setCreator(std::string v) { creator_ = std::move(v); }
    const std::string& producer() const { return producer_; }
    void setProducer(std::string v) { producer_ = std::move(v); }
    /// Copyright and website texts on two lines.
    const std::string& note() const { return note_; }
    void setNote(std::string v) { note_ = std::move(v); }

private:
    std::string title_;
    std::string author_;
    std::string subject_;
    std::string keywords_;
    std::string creator_;
    std::string producer_;
    std::string note_;
};
