#pragma once
// Tokens of the PostScript-like CMap syntax (ToUnicode streams, CMap files).
// Works on bytes: any byte above 0x7F is a regular character, a zero byte is
// whitespace, and the text ends with the view, not at a zero byte.

#include <string>
#include <string_view>

class QVPDFCMapTokenizer {
public:
    /// Longest token kept; longer tokens are read whole and cut to this length.
    static constexpr size_t kMaxTokenLength = 255;

    explicit QVPDFCMapTokenizer(std::string_view data) : data_(data) {}

    /// The next byte (0..255) without taking it, or -1 at the end.
    int lookChar();
    /// The next byte, taken, or -1 at the end.
    int getChar();
    /// The next token, cut to `maxLength` bytes; false at the end of the text.
    /// "(...)" strings run to an unescaped ")"; "<...>" runs to ">" without its
    /// whitespace; "[" and "]" stand alone; "%" starts a comment to the line end.
    bool getToken(std::string& token, size_t maxLength = kMaxTokenLength);
    /// The same into a zero-terminated buffer of `size` bytes (at most size - 1 stored).
    bool getToken(char* buffer, int size, int* length);

private:
    std::string_view data_;
    size_t pos_ = 0;
    int charBuf_ = -1;
};
