#include "pdf/cmap/QVPDFCMapTokenizer.h"

#include <cstring>

namespace {

bool isWhite(int c) {
    return c == 0 || c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

bool isDelimiter(int c) {
    switch (c) {
    case '%':
    case '(':
    case ')':
    case '/':
    case '<':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}':
        return true;
    default:
        return false;
    }
}

bool isRegular(int c) {
    return c >= 0 && !isWhite(c) && !isDelimiter(c);
}

} // namespace

int QVPDFCMapTokenizer::lookChar() {
    if (charBuf_ < 0 && pos_ < data_.size())
        charBuf_ = static_cast<unsigned char>(data_[pos_++]);
    return charBuf_;
}

int QVPDFCMapTokenizer::getChar() {
    int c = lookChar();
    charBuf_ = -1;
    return c;
}

bool QVPDFCMapTokenizer::getToken(std::string& token, size_t maxLength) {
    token.clear();
    auto store = [&](int c) {
        if (token.size() < maxLength)
            token += static_cast<char>(c);
    };
    int c;
    bool comment = false;
    for (;;) {
        c = getChar();
        if (c < 0)
            return false;
        if (comment) {
            if (c == '\n' || c == '\r')
                comment = false;
        } else if (c == '%') {
            comment = true;
        } else if (!isWhite(c)) {
            break;
        }
    }
    store(c);
    if (c == '(') {
        bool backslash = false;
        while ((c = getChar()) >= 0) {
            store(c);
            if (c == ')' && !backslash)
                break;
            backslash = c == '\\' && !backslash;
        }
    } else if (c == '<') {
        while ((c = getChar()) >= 0) {
            if (!isWhite(c))
                store(c);
            if (c == '>')
                break;
        }
    } else if (c != '[' && c != ']') {
        while ((c = lookChar()) >= 0 && isRegular(c)) {
            getChar();
            store(c);
        }
    }
    return true;
}

bool QVPDFCMapTokenizer::getToken(char* buffer, int size, int* length) {
    std::string token;
    bool ok = getToken(token, size > 0 ? static_cast<size_t>(size - 1) : 0);
    if (size > 0) {
        std::memcpy(buffer, token.data(), token.size());
        buffer[token.size()] = '\0';
    }
    if (length)
        *length = static_cast<int>(token.size());
    return ok;
}
