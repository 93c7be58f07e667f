#pragma once
// Streams one XML file (a part of an Office Open XML package): every call
// appends its markup, so parts of any length are written in constant memory.
// The layout is fixed and every package writer depends on it: the root's
// start tag and every child tag start a new line indented by one tab per
// level, text stays on the line of its element, an element closed while its
// start tag is still open becomes one tag ending in "/>" (writeEndElement())
// or a start tag directly followed by its end tag (writeEndElement(name)).
//
// Text is taken as UTF-8 (std::string) or UTF-16 (std::u16string) and always
// written as well-formed UTF-8: invalid UTF-8 and lone surrogates become
// U+FFFD, characters outside the BMP are written whole, and only characters
// XML 1.0 forbids are dropped.
//
// Misuse and write failures raise XMLWriterException.

#include "writer/XMLWriterException.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Where a writer made by initWithOutput sends its bytes instead of a file
/// (an entry of a zip archive, a part compressed ahead of time).
class XMLOutput {
public:
    virtual ~XMLOutput() = default;
    /// Takes the next bytes; false when they could not be written.
    virtual bool write(std::string_view bytes) = 0;
    /// Completes the output; false when that failed. Called once.
    virtual bool close() = 0;
};

class XMLFileWriter {
public:
    /// Creates an empty file at the path (replacing a file there) and opens it;
    /// none when the file cannot be created, for example when its folder is missing.
    static std::unique_ptr<XMLFileWriter> initWithPath(const std::string& path);
    /// As initWithPath, but a file that cannot be created raises
    /// XMLWriterException instead of giving no writer.
    static std::unique_ptr<XMLFileWriter> openForWriting(const std::string& path);
    /// A part of a package: `part` ("word/document.xml") in `folder`, its
    /// folders created, opened with the declaration every part starts with
    /// (version 1.0, UTF-8, standalone). Raises XMLWriterException when the
    /// folders or the file cannot be made.
    static std::unique_ptr<XMLFileWriter> openPackagePart(const std::string& folder,
                                                          const std::string& part);
    /// A writer whose bytes go to `output` (closed by writeEndDocument or
    /// closeFile); `name` stands for it in messages and xmlPath().
    static std::unique_ptr<XMLFileWriter> initWithOutput(const std::string& name,
                                                         std::unique_ptr<XMLOutput> output);
    /// Closes the file if still open; a failure here goes unreported, so
    /// callers end with writeEndDocument() or closeFile(), which do report.
    ~XMLFileWriter();
    XMLFileWriter(const XMLFileWriter&) = delete;
    XMLFileWriter& operator=(const XMLFileWriter&) = delete;

    const std::string& xmlPath() const { return xmlPath_; }
    int32_t level() const { return level_; }

    // File control.
    void closeFile();
    /// Flushes the buffered output and the file to disk.
    void synchronizeFile();

    /// Holds everything written from here on in memory, so that a stretch
    /// of markup (a page of a document) reaches the file or output whole or not at all:
    /// commitHeldOutput() lets it go to the file, discardHeldOutput() drops
    /// it and returns the writer to the state it had here (open elements,
    /// namespace bindings). A second hold replaces the first.
    void holdOutput();
    void commitHeldOutput();
    void discardHeldOutput();
    bool isHoldingOutput() const { return held_.has_value(); }

    // Document.
    void writeStartDocument();
    void writeStartDocumentWithVersion(const std::optional<std::string>& version);
    void writeStartDocumentWithEncodingAndVersion(
        const std::optional<std::string>& encoding, const std::optional<std::string>& version,
        const std::optional<std::string>& standalone = std::nullopt);
    /// Ends every open element, then closes the file.
    void writeEndDocument();

    // Namespaces: a binding is declared on the next start tag and ends with that element.
    void setPrefix(const std::optional<std::string>& prefix,
                   const std::optional<std::string>& namespaceURI);
    std::optional<std::string> getPrefix(const std::string& namespaceURI) const;
    std::optional<std::string> getNamespaceURI(const std::string& prefix) const;

    // Elements, attributes, content.
    void writeStartElement(std::string_view localName);
    void writeStartElementWithNamespace(std::optional<std::string_view> namespaceURI,
                                        std::string_view localName);
    void writeAttribute(std::string_view localName, std::string_view value);
    void writeAttribute(std::string_view localName, std::u16string_view value);
    void writeAttributeWithNamespace(std::optional<std::string_view> namespaceURI,
                                     std::string_view localName, std::string_view value);
    void writeCharacters(std::string_view text);
    void writeCharacters(std::u16string_view text);
    /// Ends the innermost element: "/>" while its start tag is open, else its end tag.
    void writeEndElement();
    /// Ends the innermost element with an end tag naming `localName`.
    void writeEndElement(std::string_view localName);
    void writeEndElementWithNamespace(std::optional<std::string_view> namespaceURI,
                                      std::string_view localName);
    void writeEmptyElement(std::string_view localName);
    /// <name>text</name>, with an end tag even when the text is empty.
    void writeTextElement(std::string_view localName, std::string_view text);
    /// One <Relationship Id Type Target/> of an Open XML package's .rels part.
    void writeRelationship(std::string_view id, std::string_view type, std::string_view target);
    void writeEmptyElementWithNamespace(std::optional<std::string_view> namespaceURI,
                                        std::string_view localName);
    void writeComment(std::string_view comment);
    void writeCData(std::string_view cdata);

    // Layout settings; every part of the system keeps the defaults.
    const std::string& indentation() const { return indentation_; }
    void setIndentation(std::string v) {
        indentation_ = std::move(v);
        lineStarts_.clear();
    }
    const std::string& lineBreak() const { return lineBreak_; }
    void setLineBreak(std::string v) {
        lineBreak_ = std::move(v);
        lineStarts_.clear();
    }
    bool automaticEmptyElements() const { return automaticEmptyElements_; }
    void setAutomaticEmptyElements(bool v) { automaticEmptyElements_ = v; }

    /// The text as this writer puts it into a file, before escaping: valid
    /// UTF-8 with the characters XML forbids dropped. Callers compare written
    /// forms with it (two names that differ only in invalid bytes are one name).
    static std::string sanitizedText(std::string_view utf8);
    static std::string sanitizedText(std::u16string_view utf16);

private:
    XMLFileWriter(std::string path, std::FILE* file, std::unique_ptr<XMLOutput> output);

    void write(std::string_view fragment) {
        // Most fragments are a few bytes into a package part's buffer with
        // room to spare, or into a held stretch, which is never flushed: no
        // flush is due, and the call stays inline.
        if ((output_ || fileHandle_) &&
            (buffer_.size() + fragment.size() < kOutputFlushThreshold || held_)) {
            buffer_.append(fragment);
            bytesWritten_ += fragment.size();
            return;
        }
        writeAndFlush(fragment);
    }
    void writeAndFlush(std::string_view fragment);
    // An output (a zip entry) gathers and compresses its input in blocks
    // itself; this only spares it a call per fragment, so a smaller buffer
    // made once serves.
    static constexpr size_t kOutputFlushThreshold = 16 * 1024;
    void writeEscaped(std::string_view utf8);
    void writeEscaped(std::u16string_view utf16);
    void flushBuffer();
    void closeStartTagIfOpen();
    void writeLineBreakAndIndentation(int32_t levels);
    /// "prefix:localName", or the local name for no namespace or the default one.
    std::string qualifiedName(std::optional<std::string_view> namespaceURI,
                              std::string_view localName) const;
    /// The prefix bound to the namespace ("" for the default one); raises for
    /// an unbound one. Points into the bindings: valid until they change.
    const std::string& prefixOf(std::string_view namespaceURI) const;
    /// Writes "prefix:localName" (the local name alone under no prefix).
    void writeName(const std::string* prefix, std::string_view localName);
    void endNamespaceScope();
    void popElement();
    [[noreturn]] void failWrite() const;

    std::string xmlPath_;
    std::FILE* fileHandle_ = nullptr;
    // Set instead of fileHandle_ for a writer made by initWithOutput: fragments
    // go straight to it (it gathers them itself), until it is closed.
    std::unique_ptr<XMLOutput> output_;
    std::string buffer_;
    uint64_t bytesWritten_ = 0;
    std::optional<std::string> encoding_;
    int32_t level_ = 0;
    bool newElement_ = false;
    bool emptyElement_ = false;
    // The open elements' names as their start tags wrote them (with the
    // prefix), which their end tags repeat.
    std::vector<std::string> elementNames_;
    std::vector<std::string> namespaceURIs_;
    std::vector<size_t> namespaceCounts_;
    std::vector<bool> namespaceWritten_;
    std::map<std::string, std::string, std::less<>> namespaceURIPrefixMap_;
    std::map<std::string, std::string, std::less<>> prefixNamespaceURIMap_;
    // The namespace last looked up and its binding: a part names the same
    // one or two namespaces element after element.
    mutable std::string lastURI_;
    mutable const std::string* lastPrefix_ = nullptr;
    // A line break followed by indentation for the deepest level written so
    // far: the start of any line is a prefix of it.
    std::string lineStarts_;
    struct HeldState {
        size_t bufferSize = 0;
        uint64_t bytesWritten = 0;
        int32_t level = 0;
        bool newElement = false;
        bool emptyElement = false;
        std::vector<std::string> elementNames;
        std::vector<std::string> namespaceURIs;
        std::vector<size_t> namespaceCounts;
        std::vector<bool> namespaceWritten;
        std::map<std::string, std::string, std::less<>> namespaceURIPrefixMap;
        std::map<std::string, std::string, std::less<>> prefixNamespaceURIMap;
    };
    std::optional<HeldState> held_;
    std::string indentation_ = "\t";
    std::string lineBreak_ = "\n";
    bool automaticEmptyElements_ = true;
};
