// The three document writers' own steps: which files they open and how the
// output is put together.
#include "flow/html/QVHTMLPDFConverter.h"
#include "flow/html/QVHTMLState.h"
#include "flow/rtf/QVRTFPDFConverter.h"
#include "flow/rtf/QVRTFState.h"
#include "flow/text/QVTextPDFConverter.h"
#include "pdf/font/QVPDFFontUtilities.h"
#include "platform/Files.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

template <class Writer>
std::unique_ptr<Writer> openWriter(const std::string& path, const std::string& shownPath) {
    std::unique_ptr<Writer> writer = path.empty() ? nullptr : Writer::initWithPath(path);
    if (!writer)
        throw QVFlowFileException("Can't create the file " + shownPath);
    return writer;
}

template <class Writer> void closeAndReset(std::unique_ptr<Writer>& writer) {
    if (writer)
        writer->closeFile();
    writer.reset();
}

/// The body file's bytes, appended to the output a block at a time: the
/// body grows with the page count, and memory must not.
void appendBody(QVFlowFileWriter& output, QVFlowFileWriter& body) {
    const std::string path = body.textPath();
    body.closeFile();
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    const std::unique_ptr<std::FILE, Closer> in(std::fopen(path.c_str(), "rb"));
    if (!in)
        throw QVFlowFileException("Can't read the file " + path);
    std::vector<char> block(64 * 1024);
    for (;;) {
        const size_t n = std::fread(block.data(), 1, block.size(), in.get());
        output.writeData(std::string_view(block.data(), n));
        if (n < block.size())
            break;
    }
    if (std::ferror(in.get()))
        throw QVFlowFileException("Can't read the file " + path);
}

/// A comment may not hold "--" nor end in "-" (it would end early or be malformed).
std::string commentText(std::string text) {
    for (size_t i = 0; (i = text.find("--", i)) != std::string::npos;)
        text.replace(i, 2, "- -");
    if (!text.empty() && text.back() == '-')
        text.push_back(' ');
    return text;
}

} // namespace

void QVHTMLPDFConverter::begainWriteDocument() {
    closeAndReset(contentWriter_);
    const std::string body =
        savedWorkFolder().empty() ? std::string() : savedWorkFolder() + "/content.html";
    contentWriter_ = openWriter<QVHTMLFileWriter>(body, body.empty() ? "content.html" : body);
    closeAndReset(documentWriter_);
    documentWriter_ = openWriter<QVHTMLFileWriter>(reserveTemporaryOutput(), savedFilePath());
    setBegainDocxOptions();
    QVHTMLState::sharedInstance().resetToDefault();
}

void QVHTMLPDFConverter::packetDocxFile() {
    if (!documentWriter_ || !contentWriter_)
        throw QVFlowFileException("Can't write the file " + savedFilePath());
    QVHTMLFileWriter& w = *documentWriter_;
    const auto esc = QVHTMLUtilities::escapeHTML;
    w.write("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\" "
            "\"http://www.w3.org/TR/html4/strict.dtd\">\n");
    w.write("<!--" +
            commentText(esc("Powered by " + displayName_ + " " + version_ + " " + company_)) +
            "-->\n");
    w.write("<html>\n");
    w.write("<head>\n");
    const std::string title =
        platform::splitExtension(platform::lastPathComponent(savedFilePath())).first;
    w.write("  <title>" + esc(platform::lastPathComponent(title)) + "</title>\n");
    w.write("  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n");
    w.write("  <meta http-equiv=\"Content-Style-Type\" content=\"text/css\">\n");
    w.write("  <meta name=\"Generator\" content=\"" + esc(displayName_) + "\">\n");
    w.write("  <meta name=\"Version\" content=\"" + esc(version_) + "\">\n");
    w.write(" <style type=\"text/css\">\n");
    QVHTMLState& state = QVHTMLState::sharedInstance();
    state.writeRegistedCSSParagraph(w);
    state.writeRegistedCSSSpan(w);
    w.write(" </style>\n");
    w.write("</head>\n");
    w.write("<body>");
    appendBody(w, *contentWriter_);
    w.write("\n</body>\n");
    w.write("</html>");
    w.closeFile();
    commitOutput();
}

void QVRTFPDFConverter::begainWriteDocument() {
    closeAndReset(contentWriter_);
    const std::string body =
        savedWorkFolder().empty() ? std::string() : savedWorkFolder() + "/content.rtf";
    contentWriter_ = openWriter<QVRTFFileWriter>(body, body.empty() ? "content.rtf" : body);
    closeAndReset(documentWriter_);
    documentWriter_ = openWriter<QVRTFFileWriter>(reserveTemporaryOutput(), savedFilePath());
    setBegainDocxOptions();
    QVRTFState::sharedInstance().resetToDefault();
}

void QVRTFPDFConverter::packetDocxFile() {
    if (!documentWriter_ || !contentWriter_)
        throw QVFlowFileException("Can't write the file " + savedFilePath());
    QVRTFFileWriter& w = *documentWriter_;
    w.write("{\\rtf1\\ansi\\mac\n");
    QVRTFState& state = QVRTFState::sharedInstance();
    state.writeRegistedFonts(w);
    state.writeRegistedColors(w);
    w.write("{\\info\n");
    const std::string comment = "Powered by " + displayName_ + " v" + version_ + " " + company_;
    w.write("{\\doccomm " +
            QVRTFFileWriter::_formatTextOfString(QVPDFFontUtilities::utf8ToUtf16(comment)) + "}\n");
    w.write("}\n");
    appendBody(w, *contentWriter_);
    w.write("\n}");
    w.closeFile();
    commitOutput();
}

void QVTextPDFConverter::begainWriteDocument() {
    closeAndReset(documentWriter_);
    documentWriter_ = openWriter<QVTextFileWriter>(reserveTemporaryOutput(), savedFilePath());
    setBegainDocxOptions();
}

void QVTextPDFConverter::packetDocxFile() {
    if (!documentWriter_)
        throw QVFlowFileException("Can't write the file " + savedFilePath());
    documentWriter_->closeFile();
    commitOutput();
}
