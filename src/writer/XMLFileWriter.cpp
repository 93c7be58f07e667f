#include "writer/XMLFileWriter.h"
#include "platform/Files.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr size_t kFlushThreshold = 64 * 1024;
constexpr char32_t kReplacement = 0xFFFD;

// The XML 1.0 Char production, less nothing: tab, line feed, carriage return,
// U+0020..U+D7FF, U+E000..U+FFFD, U+10000..U+10FFFF.
bool isXMLChar(char32_t c) {
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    if (c <= 0xD7FF)
        return true;
    if (c < 0xE000)
        return false;
    if (c <= 0xFFFD)
        return true;
    return c >= 0x10000 && c <= 0x10FFFF;
}

// Printable ASCII other than the characters escaping replaces: written as is.
bool isPlainASCII(char c) {
    return c >= 0x20 && c < 0x7F && c != '&' && c != '<' && c != '>' && c != '"';
}

void appendChar(std::string& out, char32_t c, bool escape) {
    if (!isXMLChar(c))
        return;
    if (escape) {
        switch (c) {
        case '&':
            out += "&amp;";
            return;
        case '<':
            out += "&lt;";
            return;
        case '>':
            out += "&gt;";
            return;
        case '"':
            out += "&quot;";
            return;
        default:
            break;
        }
    }
    platform::appendUTF8(out, c);
}

// Decodes UTF-8, replacing each maximal ill-formed subsequence by U+FFFD (the
// Unicode recommendation), so overlong forms and encoded surrogates never pass.
template <class Sink> void decodeUTF8(std::string_view s, Sink sink) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        if (b < 0x80) {
            sink(b);
            ++i;
            continue;
        }
        int need = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        char32_t c = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            c = b & 0x0F;
            if (b == 0xE0)
                lo = 0xA0;
            else if (b == 0xED)
                hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            c = b & 0x07;
            if (b == 0xF0)
                lo = 0x90;
            else if (b == 0xF4)
                hi = 0x8F;
        } else {
            sink(kReplacement);
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < need; ++k, ++j) {
            if (j >= n || p[j] < lo || p[j] > hi) {
                ok = false;
                break;
            }
            c = (c << 6) | (p[j] & 0x3F);
            lo = 0x80;
            hi = 0xBF;
        }
        sink(ok ? c : kReplacement);
        i = j;
    }
}

template <class Sink> void decodeUTF16(std::u16string_view s, Sink sink) {
    const size_t n = s.size();
    for (size_t i = 0; i < n; ++i) {
        char16_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            sink(0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            sink(kReplacement);
        } else {
            sink(u);
        }
    }
}

} // namespace

std::unique_ptr<XMLFileWriter> XMLFileWriter::initWithPath(const std::string& path) {
    if (path.empty())
        return nullptr;
    std::FILE* f = std::fopen(path.c_str(), "wbe");
    if (!f)
        return nullptr;
    return std::unique_ptr<XMLFileWriter>(new XMLFileWriter(path, f, nullptr));
}

std::unique_ptr<XMLFileWriter> XMLFileWriter::initWithOutput(const std::string& name,
                                                             std::unique_ptr<XMLOutput> output) {
    if (!output)
        return nullptr;
    return std::unique_ptr<XMLFileWriter>(new XMLFileWriter(name, nullptr, std::move(output)));
}

std::unique_ptr<XMLFileWriter> XMLFileWriter::openForWriting(const std::string& path) {
    auto writer = initWithPath(path);
    if (!writer)
        throw XMLWriterException("Could not create the file " + path + ": " + std::strerror(errno));
    return writer;
}

std::unique_ptr<XMLFileWriter> XMLFileWriter::openPackagePart(const std::string& folder,
                                                              const std::string& part) {
    const std::string path = platform::appendPathComponent(folder, part);
    const std::string parent = platform::deletingLastPathComponent(path);
    if (!platform::createDirectories(parent))
        throw XMLWriterException("Could not create the folder " + parent + ": " +
                                 std::strerror(errno));
    auto writer = openForWriting(path);
    writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    return writer;
}

XMLFileWriter::XMLFileWriter(std::string path, std::FILE* file, std::unique_ptr<XMLOutput> output)
    : xmlPath_(std::move(path)), fileHandle_(file), output_(std::move(output)) {
    buffer_.reserve(output_ ? kOutputFlushThreshold + 1024 : kFlushThreshold + 1024);
    // "xml" and "xmlns" are bound from the start and never declared.
    setPrefix(std::string("xml"), std::string("http://www.w3.org/XML/1998/namespace"));
    setPrefix(std::string("xmlns"), std::string("http://www.w3.org/2000/xmlns/"));
    namespaceWritten_.assign(namespaceURIs_.size(), true);
    namespaceCounts_.push_back(namespaceURIs_.size());
}

XMLFileWriter::~XMLFileWriter() {
    if (fileHandle_) {
        try {
            flushBuffer();
        } catch (...) {
        }
        std::fclose(fileHandle_);
    }
}

void XMLFileWriter::failWrite() const {
    throw XMLWriterException("Could not write the file " + xmlPath_ + ": " + std::strerror(errno));
}

void XMLFileWriter::flushBuffer() {
    if (output_ && !buffer_.empty()) {
        if (!output_->write(buffer_))
            failWrite();
        buffer_.clear();
        return;
    }
    if (buffer_.empty() || !fileHandle_)
        return;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), fileHandle_) != buffer_.size())
        failWrite();
    buffer_.clear();
}

void XMLFileWriter::writeAndFlush(std::string_view fragment) {
    if (output_) {
        buffer_.append(fragment);
        bytesWritten_ += fragment.size();
        if (buffer_.size() >= kOutputFlushThreshold && !held_)
            flushBuffer();
        return;
    }
    if (!fileHandle_)
        throw XMLWriterException("The file " + xmlPath_ + " has already been closed");
    buffer_.append(fragment);
    bytesWritten_ += fragment.size();
    if (buffer_.size() >= kFlushThreshold && !held_)
        flushBuffer();
}

void XMLFileWriter::holdOutput() {
    held_ = HeldState{buffer_.size(),
                      bytesWritten_,
                      level_,
                      newElement_,
                      emptyElement_,
                      elementNames_,
                      namespaceURIs_,
                      namespaceCounts_,
                      namespaceWritten_,
                      namespaceURIPrefixMap_,
                      prefixNamespaceURIMap_};
}

void XMLFileWriter::commitHeldOutput() {
    if (!held_)
        return;
    held_.reset();
    if (output_ ? buffer_.size() >= kOutputFlushThreshold
                : buffer_.size() >= kFlushThreshold && fileHandle_)
        flushBuffer();
}

void XMLFileWriter::discardHeldOutput() {
    if (!held_)
        return;
    HeldState h = std::move(*held_);
    held_.reset();
    buffer_.resize(std::min(buffer_.size(), h.bufferSize));
    bytesWritten_ = h.bytesWritten;
    level_ = h.level;
    newElement_ = h.newElement;
    emptyElement_ = h.emptyElement;
    elementNames_ = std::move(h.elementNames);
    namespaceURIs_ = std::move(h.namespaceURIs);
    namespaceCounts_ = std::move(h.namespaceCounts);
    namespaceWritten_ = std::move(h.namespaceWritten);
    namespaceURIPrefixMap_ = std::move(h.namespaceURIPrefixMap);
    prefixNamespaceURIMap_ = std::move(h.prefixNamespaceURIMap);
    lastPrefix_ = nullptr;
}

void XMLFileWriter::closeFile() {
    if (output_) {
        held_.reset();
        flushBuffer(); // raises with the output still held, so it is dropped unclosed
        std::unique_ptr<XMLOutput> output = std::move(output_);
        if (!output->close())
            failWrite();
        return;
    }
    if (!fileHandle_)
        return;
    std::FILE* f = fileHandle_;
    held_.reset();
    try {
        flushBuffer();
    } catch (...) {
        fileHandle_ = nullptr;
        std::fclose(f);
        throw;
    }
    fileHandle_ = nullptr;
    if (std::fflush(f) != 0 || std::ferror(f)) {
        std::fclose(f);
        failWrite();
    }
    if (std::fclose(f) != 0)
        failWrite();
}

void XMLFileWriter::synchronizeFile() {
    if (!fileHandle_)
        return;
    flushBuffer();
    if (std::fflush(fileHandle_) != 0 || ::fsync(::fileno(fileHandle_)) != 0)
        failWrite();
}

// ---------------------------------------------------------------------------
// Text

std::string XMLFileWriter::sanitizedText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    decodeUTF8(utf8, [&](char32_t c) { appendChar(out, c, false); });
    return out;
}

std::string XMLFileWriter::sanitizedText(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    decodeUTF16(utf16, [&](char32_t c) { appendChar(out, c, false); });
    return out;
}

void XMLFileWriter::writeEscaped(std::string_view utf8) {
    // Most text is printable ASCII that needs no escaping: it goes out as it
    // is, and only the rest from the first other byte takes the long way.
    size_t plain = 0;
    while (plain < utf8.size() && isPlainASCII(utf8[plain]))
        ++plain;
    if (plain == utf8.size()) {
        write(utf8);
        return;
    }
    std::string out(utf8.substr(0, plain));
    out.reserve(utf8.size() + 8);
    decodeUTF8(utf8.substr(plain), [&](char32_t c) { appendChar(out, c, true); });
    write(out);
}

void XMLFileWriter::writeEscaped(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() + 8);
    size_t plain = 0;
    while (plain < utf16.size() && utf16[plain] < 0x80 && isPlainASCII(char(utf16[plain])))
        out.push_back(char(utf16[plain++]));
    decodeUTF16(utf16.substr(plain), [&](char32_t c) { appendChar(out, c, true); });
    write(out);
}

// ---------------------------------------------------------------------------
// Document

void XMLFileWriter::writeStartDocument() {
    writeStartDocumentWithEncodingAndVersion(std::nullopt, std::nullopt, std::nullopt);
}

void XMLFileWriter::writeStartDocumentWithVersion(const std::optional<std::string>& version) {
    writeStartDocumentWithEncodingAndVersion(std::nullopt, version, std::nullopt);
}

void XMLFileWriter::writeStartDocumentWithEncodingAndVersion(
    const std::optional<std::string>& encoding, const std::optional<std::string>& version,
    const std::optional<std::string>& standalone) {
    if (bytesWritten_ > 0)
        throw XMLWriterException("Document has already been started");
    encoding_ = encoding;
    std::string decl = "<?xml version=\"";
    decl += version ? *version : "1.0";
    decl += "\"";
    if (encoding)
        decl += " encoding=\"" + *encoding + "\"";
    if (standalone)
        decl += " standalone=\"" + *standalone + "\"";
    decl += " ?>";
    write(decl);
}

void XMLFileWriter::writeEndDocument() {
    while (level_ > 0)
        writeEndElement();
    closeFile();
}

// ---------------------------------------------------------------------------
// Namespaces

void XMLFileWriter::setPrefix(const std::optional<std::string>& prefix,
                              const std::optional<std::string>& namespaceURI) {
    if (!namespaceURI)
        throw XMLWriterException("Namespace cannot be NULL");
    if (!prefix)
        throw XMLWriterException("Prefix cannot be NULL");
    if (namespaceURIPrefixMap_.count(*namespaceURI))
        throw XMLWriterException("Name namespace " + *namespaceURI + " has already been set");
    if (prefixNamespaceURIMap_.count(*prefix)) {
        if (prefix->empty())
            throw XMLWriterException("Default namespace has already been set");
        throw XMLWriterException("Prefix " + *prefix + " has already been set");
    }
    lastPrefix_ = nullptr;
    namespaceURIs_.push_back(*namespaceURI);
    namespaceWritten_.push_back(false);
    namespaceURIPrefixMap_[*namespaceURI] = *prefix;
    prefixNamespaceURIMap_[*prefix] = *namespaceURI;
}

std::optional<std::string> XMLFileWriter::getPrefix(const std::string& namespaceURI) const {
    auto it = namespaceURIPrefixMap_.find(namespaceURI);
    if (it == namespaceURIPrefixMap_.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> XMLFileWriter::getNamespaceURI(const std::string& prefix) const {
    auto it = prefixNamespaceURIMap_.find(prefix);
    if (it == prefixNamespaceURIMap_.end())
        return std::nullopt;
    return it->second;
}

const std::string& XMLFileWriter::prefixOf(std::string_view namespaceURI) const {
    if (lastPrefix_ && namespaceURI == lastURI_)
        return *lastPrefix_;
    auto it = namespaceURIPrefixMap_.find(namespaceURI);
    if (it == namespaceURIPrefixMap_.end())
        throw XMLWriterException("Unknown namespace URI " + std::string(namespaceURI));
    lastURI_.assign(namespaceURI);
    lastPrefix_ = &it->second;
    return it->second;
}

std::string XMLFileWriter::qualifiedName(std::optional<std::string_view> namespaceURI,
                                         std::string_view localName) const {
    if (!namespaceURI)
        return std::string(localName);
    const std::string& prefix = prefixOf(*namespaceURI);
    if (prefix.empty())
        return std::string(localName);
    return prefix + ":" + std::string(localName);
}

void XMLFileWriter::writeName(const std::string* prefix, std::string_view localName) {
    if (prefix && !prefix->empty()) {
        write(*prefix);
        write(":");
    }
    write(localName);
}

void XMLFileWriter::endNamespaceScope() {
    if (namespaceCounts_.size() < 2)
        return;
    const size_t mark = namespaceCounts_.back();
    const size_t lower = namespaceCounts_[namespaceCounts_.size() - 2];
    if (mark != lower) {
        lastPrefix_ = nullptr;
        while (namespaceURIs_.size() > lower) {
            const std::string uri = namespaceURIs_.back();
            auto it = namespaceURIPrefixMap_.find(uri);
            if (it != namespaceURIPrefixMap_.end()) {
                prefixNamespaceURIMap_.erase(it->second);
                namespaceURIPrefixMap_.erase(it);
            }
            namespaceURIs_.pop_back();
            namespaceWritten_.pop_back();
        }
    }
    namespaceCounts_.pop_back();
}

// ---------------------------------------------------------------------------
// Elements

void XMLFileWriter::closeStartTagIfOpen() {
    if (newElement_) {
        write(">");
        newElement_ = false;
    }
}

void XMLFileWriter::writeLineBreakAndIndentation(int32_t levels) {
    const size_t length = lineBreak_.size() + size_t(std::max(levels, 0)) * indentation_.size();
    if (lineStarts_.size() < length) {
        lineStarts_ = lineBreak_;
        while (lineStarts_.size() < length)
            lineStarts_ += indentation_;
    }
    write(std::string_view(lineStarts_).substr(0, length));
}

void XMLFileWriter::writeStartElement(std::string_view localName) {
    writeStartElementWithNamespace(std::nullopt, localName);
}

void XMLFileWriter::writeStartElementWithNamespace(std::optional<std::string_view> namespaceURI,
                                                   std::string_view localName) {
    // Names are resolved first, so a misuse raises before anything is written.
    const std::string* prefix = namespaceURI ? &prefixOf(*namespaceURI) : nullptr;
    closeStartTagIfOpen();
    writeLineBreakAndIndentation(level_);
    write("<");
    writeName(prefix, localName);

    std::string& name = elementNames_.emplace_back();
    if (prefix && !prefix->empty()) {
        name.reserve(prefix->size() + 1 + localName.size());
        name += *prefix;
        name += ':';
    }
    name += localName;
    newElement_ = true;
    emptyElement_ = true;
    ++level_;

    for (size_t i = namespaceCounts_.back(); i < namespaceURIs_.size(); ++i) {
        if (namespaceWritten_[i])
            continue;
        const std::string& uri = namespaceURIs_[i];
        const std::string& prefix = namespaceURIPrefixMap_[uri];
        write(" xmlns");
        if (!prefix.empty()) {
            write(":");
            write(prefix);
        }
        write("=\"");
        writeEscaped(std::string_view(uri));
        write("\"");
        namespaceWritten_[i] = true;
    }
    namespaceCounts_.push_back(namespaceURIs_.size());
}

void XMLFileWriter::writeAttribute(std::string_view localName, std::string_view value) {
    writeAttributeWithNamespace(std::nullopt, localName, value);
}

void XMLFileWriter::writeAttribute(std::string_view localName, std::u16string_view value) {
    writeAttributeWithNamespace(std::nullopt, localName, sanitizedText(value));
}

void XMLFileWriter::writeAttributeWithNamespace(std::optional<std::string_view> namespaceURI,
                                                std::string_view localName,
                                                std::string_view value) {
    if (!newElement_)
        throw XMLWriterException("No open start element");
    const std::string* prefix = namespaceURI ? &prefixOf(*namespaceURI) : nullptr;
    write(" ");
    writeName(prefix, localName);
    write("=\"");
    writeEscaped(value);
    write("\"");
}

void XMLFileWriter::writeCharacters(std::string_view text) {
    closeStartTagIfOpen();
    writeEscaped(text);
    emptyElement_ = false;
}

void XMLFileWriter::writeCharacters(std::u16string_view text) {
    closeStartTagIfOpen();
    writeEscaped(text);
    emptyElement_ = false;
}

void XMLFileWriter::popElement() {
    endNamespaceScope();
    elementNames_.pop_back();
    emptyElement_ = true;
    newElement_ = false;
}

void XMLFileWriter::writeEndElement() {
    if (newElement_ && automaticEmptyElements_ && level_ > 0) {
        write("/>");
        popElement();
        --level_;
        return;
    }
    if (level_ < 1 || elementNames_.empty())
        throw XMLWriterException("Cannot write more end elements than start elements.");
    // The name stays on its stack until the end tag is written.
    --level_;
    if (newElement_) {
        write(">");
        newElement_ = false;
    } else if (emptyElement_) {
        writeLineBreakAndIndentation(level_);
    }
    write("</");
    write(elementNames_.back());
    write(">");
    popElement();
}

void XMLFileWriter::writeEndElement(std::string_view localName) {
    writeEndElementWithNamespace(std::nullopt, localName);
}

void XMLFileWriter::writeEndElementWithNamespace(std::optional<std::string_view> namespaceURI,
                                                 std::string_view localName) {
    if (level_ < 1 || elementNames_.empty())
        throw XMLWriterException("Cannot write more end elements than start elements.");
    const std::string* prefix = namespaceURI ? &prefixOf(*namespaceURI) : nullptr;
    --level_;
    if (newElement_) {
        write(">");
        newElement_ = false;
    } else if (emptyElement_) {
        writeLineBreakAndIndentation(level_);
    }
    write("</");
    writeName(prefix, localName);
    write(">");
    popElement();
}

void XMLFileWriter::writeEmptyElement(std::string_view localName) {
    writeEmptyElementWithNamespace(std::nullopt, localName);
}

void XMLFileWriter::writeEmptyElementWithNamespace(std::optional<std::string_view> namespaceURI,
                                                   std::string_view localName) {
    const std::string name = qualifiedName(namespaceURI, localName);
    closeStartTagIfOpen();
    writeLineBreakAndIndentation(level_);
    write("<");
    write(name);
    write("/>");
    emptyElement_ = true;
    newElement_ = false;
}

void XMLFileWriter::writeComment(std::string_view comment) {
    closeStartTagIfOpen();
    write("<!--");
    write(comment);
    write("-->");
    emptyElement_ = false;
}

void XMLFileWriter::writeCData(std::string_view cdata) {
    closeStartTagIfOpen();
    write("<![CDATA[");
    write(cdata);
    write("]]>");
    emptyElement_ = false;
}

void XMLFileWriter::writeTextElement(std::string_view localName, std::string_view text) {
    writeStartElement(localName);
    writeCharacters(text);
    writeEndElement(localName);
}

void XMLFileWriter::writeRelationship(std::string_view id, std::string_view type,
                                      std::string_view target) {
    writeStartElement("Relationship");
    writeAttribute("Id", id);
    writeAttribute("Type", type);
    writeAttribute("Target", target);
    writeEndElement();
}
