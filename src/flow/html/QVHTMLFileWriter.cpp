#include "flow/html/QVHTMLFileWriter.h"

#include "platform/text/Utf.h"

std::unique_ptr<QVHTMLFileWriter> QVHTMLFileWriter::initWithPath(const std::string& path) {
    std::unique_ptr<QVHTMLFileWriter> writer(new QVHTMLFileWriter());
    if (!writer->openPath(path))
        return nullptr;
    return writer;
}

std::string QVHTMLFileWriter::_formatTextOfString(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        switch (c) {
        case u'&':
            out += "&amp;";
            continue;
        case u'<':
            out += "&lt;";
            continue;
        case u'>':
            out += "&gt;";
            continue;
        case u'"':
            out += "&quot;";
            continue;
        case u'\t':
            out += ' ';
            continue;
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += "<br>";
            continue;
        case u'\n':
            out += "<br>";
            continue;
        default:
            break;
        }
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            continue;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        platform::appendUTF8(out, c);
    }
    return out;
}
