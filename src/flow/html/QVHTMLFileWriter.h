#pragma once
// The file writer of the HTML output: line break "<br>", indentation three
// blanks, run text escaped as HTML character data.

#include "flow/QVFlowFileWriter.h"

#include <memory>

class QVHTMLFileWriter : public QVFlowFileWriter {
public:
    /// A writer on a new empty file at the path (an existing file is emptied);
    /// none when the file cannot be created.
    static std::unique_ptr<QVHTMLFileWriter> initWithPath(const std::string& path);

    /// `&`, `<`, `>` and `"` become references; LF, CR and CR LF become one
    /// "<br>"; a tab becomes a blank; other control characters are dropped
    /// (they are not allowed in HTML text); a lone surrogate becomes U+FFFD.
    static std::string _formatTextOfString(std::u16string_view text);

    void writeContent(std::u16string_view text) override { write(_formatTextOfString(text)); }

private:
    QVHTMLFileWriter() : QVFlowFileWriter("   ", "<br>") {}
};
