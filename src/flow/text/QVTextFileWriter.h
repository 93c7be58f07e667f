#pragma once
// The file writer of the plain-text output: text written as UTF-8 as it
// comes, line break LF, indentation four blanks.

#include "flow/QVFlowFileWriter.h"

#include <memory>

class QVTextFileWriter : public QVFlowFileWriter {
public:
    /// A writer on a new empty file at the path; none when it cannot be created.
    static std::unique_ptr<QVTextFileWriter> initWithPath(const std::string& path);

    /// The text as UTF-8, unchanged (a lone surrogate becomes U+FFFD).
    void writeContent(std::u16string_view text) override;

private:
    QVTextFileWriter() : QVFlowFileWriter("    ", "\n") {}
};
