#include "app/QVPageRange.h"

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

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isEveryPage(const std::string& text) {
    const std::string t = lower(trim(text));
    return t == "all pages" || t == "all";
}

bool allDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(),
                                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// The ends of a part "a-b" as read: a missing end is the last page (an
// open-ended "3-" means 3 to the end), a missing start reads as 0.
std::pair<int64_t, int64_t> rangeEnds(const std::vector<std::string>& ends, int64_t pageCount) {
    const int64_t a = leadingInteger(ends[0]);
    const int64_t b = trim(ends[1]).empty() ? std::max<int64_t>(pageCount, a)
                                            : leadingInteger(ends[1]);
    return {a, b};
}

std::string rangeText(int64_t from, int64_t to) {
    return from == to ? std::to_string(from) : std::to_string(from) + "-" + std::to_string(to);
}

} // namespace

std::vector<int64_t> QVPageRange::allPages(int64_t pageCount) {
    std::vector<int64_t> pages;
    for (int64_t p = 1; p <= pageCount; ++p)
        pages.push_back(p);
    return pages;
}

std::vector<int64_t> QVPageRange::pagesFromText(const std::string& text, int64_t pageCount) {
    if (text.empty())
        return pageCount >= 1 ? std::vector<int64_t>{1} : std::vector<int64_t>{};
    if (isEveryPage(text))
        return allPages(pageCount);
    std::vector<int64_t> pages;
    for (const std::string& part : split(text, ',')) {
        if (part.find('-') != std::string::npos) {
            std::vector<std::string> ends = split(part, '-');
            if (ends.size() != 2)
                continue;
            auto [a, b] = rangeEnds(ends, pageCount);
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

std::optional<std::string> QVPageRange::syntaxProblem(const std::string& text) {
    if (trim(text).empty() || isEveryPage(text))
        return std::nullopt;
    for (const std::string& raw : split(text, ',')) {
        const std::string part = trim(raw);
        if (part.empty())
            continue;
        std::vector<std::string> ends = split(part, '-');
        bool ok = false;
        if (ends.size() == 1) {
            ok = allDigits(part);
        } else if (ends.size() == 2) {
            const std::string a = trim(ends[0]), b = trim(ends[1]);
            ok = (a.empty() || allDigits(a)) && (b.empty() || allDigits(b)) &&
                 !(a.empty() && b.empty());
        }
        if (!ok)
            return "\"" + part + "\" is not a page number or range (write pages like 1-3,5 or 7-)";
    }
    return std::nullopt;
}

std::vector<std::string> QVPageRange::pagesOutside(const std::string& text, int64_t pageCount) {
    std::vector<std::string> outside;
    if (text.empty() || isEveryPage(text))
        return outside;
    for (const std::string& part : split(text, ',')) {
        if (trim(part).empty())
            continue;
        if (part.find('-') == std::string::npos) {
            int64_t p = leadingInteger(part);
            if (p < 1 || p > pageCount)
                outside.push_back(std::to_string(p));
            continue;
        }
        std::vector<std::string> ends = split(part, '-');
        if (ends.size() != 2)
            continue;
        auto [a, b] = rangeEnds(ends, pageCount);
        int64_t lo = std::min(a, b);
        const int64_t hi = std::max(a, b);
        // A missing start is page 1, not a dropped page 0; a written 0 is dropped.
        if (trim(ends[0]).empty() && lo == a)
            lo = std::min<int64_t>(1, hi);
        if (lo < 1)
            outside.push_back(rangeText(lo, std::min<int64_t>(hi, 0)));
        if (hi > pageCount)
            outside.push_back(rangeText(std::max(lo, pageCount + 1), hi));
    }
    return outside;
}
