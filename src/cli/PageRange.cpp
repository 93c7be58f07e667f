#include "cli/PageRange.h"

#include <algorithm>
#include <cctype>

namespace {

// Leading blanks, an optional sign, then digits up to the first other
// character; no digits read as 0. Saturates instead of overflowing.
int64_t leadingInteger(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int64_t v = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
        if (v > (INT64_MAX - 9) / 10)
            return negative ? INT64_MIN : INT64_MAX;
        v = v * 10 + (s[i] - '0');
    }
    return negative ? -v : v;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::vector<int64_t> allPages(int64_t pageCount) {
    std::vector<int64_t> pages;
    for (int64_t p = 1; p <= pageCount; ++p)
        pages.push_back(p);
    return pages;
}

std::vector<int64_t> pagesFromRangeText(const std::string& text, int64_t pageCount) {
    if (text.empty())
        return pageCount >= 1 ? std::vector<int64_t>{1} : std::vector<int64_t>{};
    if (lower(text) == "all pages" || lower(text) == "all")
        return allPages(pageCount);
    std::vector<int64_t> pages;
    for (const std::string& part : split(text, ',')) {
        if (part.find('-') != std::string::npos) {
            std::vector<std::string> ends = split(part, '-');
            if (ends.size() != 2)
                continue;
            int64_t a = leadingInteger(ends[0]), b = leadingInteger(ends[1]);
            // Walk only the part of the range that lies on the document, so a
            // range like 1-999999999 costs nothing.
            if (b > a) {
                for (int64_t p = std::max<int64_t>(a, 1); p <= std::min(b, pageCount); ++p)
                    pages.push_back(p);
            } else {
                for (int64_t p = std::min(a, pageCount); p >= std::max<int64_t>(b, 1); --p)
                    pages.push_back(p);
            }
        } else {
            int64_t p = leadingInteger(part);
            if (p >= 1 && p <= pageCount)
                pages.push_back(p);
        }
    }
    return pages;
}
