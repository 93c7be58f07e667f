#include "flow/rtf/QVRTFFileWriter.h"

#include <charconv>

std::unique_ptr<QVRTFFileWriter> QVRTFFileWriter::initWithPath(const std::string& path) {
    std::unique_ptr<QVRTFFileWriter> writer(new QVRTFFileWriter());
    if (!writer->openPath(path))
        return nullptr;
    return writer;
}

bool QVRTFFileWriter::_reservedSetHasMember(char16_t c) {
    if (c < 32 || c > 126)
        return true;
    return c == u'\\' || c == u'{' || c == u'}';
}

std::string QVRTFFileWriter::_formatTextOfString(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (!_reservedSetHasMember(c)) {
            out.push_back(static_cast<char>(c));
        } else if (c >= 128) {
            char digits[8];
            const auto end = std::to_chars(digits, digits + sizeof digits, unsigned(c)).ptr;
            out += "\\uc0\\u";
            out.append(digits, end);
            out.push_back(' ');
        } else if (c == u'\\' || c == u'{' || c == u'}') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += "\\line ";
        }
        // Other control characters (NUL, DEL and the rest) are dropped.
    }
    return out;
}
