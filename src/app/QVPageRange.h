#pragma once
// Page lists from range texts such as "1-3,5". Parts split at ","; "a-b"
// counts up or down; "a-" runs from a to the last page and "-b" from 1 to b;
// "All Pages" (any case) or "all" is every page; an empty text is page 1.
// Numbers outside 1..pageCount are dropped; order and repeats are kept.
// Reading is lenient (the desktop list takes what it can); the command
// checks the text with syntaxProblem() first.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QVPageRange {
public:
    QVPageRange() = delete;

    static std::vector<int64_t> pagesFromText(const std::string& text, int64_t pageCount);
    static std::vector<int64_t> allPages(int64_t pageCount);

    /// Why the text is not a page range (letters, "1-2-3", a lone "-"); none
    /// when every part is a number, a range or empty.
    static std::optional<std::string> syntaxProblem(const std::string& text);

    /// The pages the text names that a document of pageCount pages lacks, as
    /// short texts ("5", "11-20"), in the text's order.
    static std::vector<std::string> pagesOutside(const std::string& text, int64_t pageCount);
};
