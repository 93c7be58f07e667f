#pragma once
// The file writer of the RTF output: line break LF, indentation four blanks,
// run text escaped so that the body is plain ASCII RTF.

#include "flow/QVFlowFileWriter.h"

#include <memory>

class QVRTFFileWriter : public QVFlowFileWriter {
public:
    /// A writer on a new empty file at the path; none when it cannot be created.
    static std::unique_ptr<QVRTFFileWriter> initWithPath(const std::string& path);

    /// True for every UTF-16 unit that cannot stand for itself in RTF text:
    /// all but printable ASCII, and backslash and the braces.
    static bool _reservedSetHasMember(char16_t c);
    /// Printable ASCII stays; backslash and braces get a backslash; a tab
    /// becomes "\tab ", LF, CR and CR LF one "\line "; other control
    /// characters are dropped (a raw control byte would end or corrupt the
    /// group); every unit from 128 on becomes "\uc0\uN " with N unsigned.
    static std::string _formatTextOfString(std::u16string_view text);

    void writeContent(std::u16string_view text) override { write(_formatTextOfString(text)); }
    /// A paragraph mark: backslash and LF. It is not the bare line break, so
    /// it is always written and ends a run of indentations.
    void writeLinebreak() override { write("\\\n"); }

private:
    QVRTFFileWriter() : QVFlowFileWriter("    ", "\n") {}
};
