#pragma once
// Append-only UTF-8 file writer shared by the HTML, RTF and plain-text
// outputs. Markup goes through write() unchanged; run text goes through
// writeContent(), which each format escapes its own way. A write equal to
// the line-break or the indentation string counts, any other non-empty write
// resets the count, and from the sixth such write in a row on writes are
// dropped: a page of blank lines cannot blow up the file.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

/// A file of a flowing-text document could not be created or written; the
/// conversion ends with this error.
class QVFlowFileException : public std::runtime_error {
public:
    explicit QVFlowFileException(const std::string& reason) : std::runtime_error(reason) {}
};

class QVFlowFileWriter {
public:
    virtual ~QVFlowFileWriter() = default;
    QVFlowFileWriter(const QVFlowFileWriter&) = delete;
    QVFlowFileWriter& operator=(const QVFlowFileWriter&) = delete;

    /// Markup or already formatted text, written as it is.
    void write(std::string_view utf8);
    /// Bytes appended as they are; neither counted nor resetting the count.
    void writeData(std::string_view bytes);
    /// Document text, escaped as the format needs it.
    virtual void writeContent(std::u16string_view text) = 0;
    virtual void writeLinebreak() { write(lineBreak_); }
    virtual void writeIndentation() { write(indentation_); }
    /// Flushes and closes; later writes are ignored. Raises when the data
    /// could not be written out.
    void closeFile();

    const std::string& textPath() const { return textPath_; }
    bool isOpen() const { return file_ != nullptr; }
    int64_t lineBreakCount() const { return lineBreakCount_; }
    const std::string& indentation() const { return indentation_; }
    const std::string& lineBreak() const { return lineBreak_; }

protected:
    QVFlowFileWriter(std::string indentation, std::string lineBreak)
        : indentation_(std::move(indentation)), lineBreak_(std::move(lineBreak)) {}
    /// Creates (or empties) the file and opens it; false when it cannot.
    bool openPath(const std::string& path);

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    void append(std::string_view bytes);

    int64_t lineBreakCount_ = 0;
    std::string textPath_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string indentation_;
    std::string lineBreak_;
};
