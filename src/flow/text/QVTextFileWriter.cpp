#include "flow/text/QVTextFileWriter.h"

#include "platform/text/Utf.h"

std::unique_ptr<QVTextFileWriter> QVTextFileWriter::initWithPath(const std::string& path) {
    std::unique_ptr<QVTextFileWriter> writer(new QVTextFileWriter());
    if (!writer->openPath(path))
        return nullptr;
    return writer;
}

void QVTextFileWriter::writeContent(std::u16string_view text) {
    write(platform::utf16ToUTF8(text));
}
