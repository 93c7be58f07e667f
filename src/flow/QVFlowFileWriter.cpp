#include "flow/QVFlowFileWriter.h"

bool QVFlowFileWriter::openPath(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    file_.reset(f);
    textPath_ = path;
    return true;
}

void QVFlowFileWriter::append(std::string_view bytes) {
    if (!file_ || bytes.empty())
        return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size())
        throw QVFlowFileException("Can't write the file " + textPath_);
}

void QVFlowFileWriter::write(std::string_view utf8) {
    if (utf8.empty())
        return;
    if (utf8 == lineBreak_ || utf8 == indentation_)
        ++lineBreakCount_;
    else
        lineBreakCount_ = 0;
    if (lineBreakCount_ > 5)
        return;
    append(utf8);
}

void QVFlowFileWriter::writeData(std::string_view bytes) {
    append(bytes);
}

void QVFlowFileWriter::closeFile() {
    if (!file_)
        return;
    std::FILE* f = file_.release();
    const bool failed = std::ferror(f) != 0;
    if (std::fclose(f) != 0 || failed)
        throw QVFlowFileException("Can't write the file " + textPath_);
}
