#include "excel/analysis/QVRegex.h"

#include "excel/analysis/QVNumberUtils.h"

#include <algorithm>
#include <array>

namespace {

// A cell holds a double exactly up to 15 significant digits.
constexpr size_t kMaxSignificantDigits = 15;

char16_t foldToASCII(char16_t c) {
    if (c >= 0xFF10 && c <= 0xFF19)
        return static_cast<char16_t>(u'0' + (c - 0xFF10));
    switch (c) {
    case 0xFF0C:
        return u',';
    case 0xFF0E:
        return u'.';
    case 0xFF05:
        return u'%';
    case 0xFF0D:
    case 0x2212: // minus sign
    case 0x2013: // en dash, printed as a minus sign in many reports
        return u'-';
    case 0xFF0B:
        return u'+';
    case 0xFF08:
        return u'(';
    case 0xFF09:
        return u')';
    case 0x00A0: // no-break spaces group thousands in many locales
    case 0x202F:
    case 0x3000:
        return u' ';
    default:
        return c;
    }
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::string asciiDigits(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char16_t c : s)
        out.push_back(static_cast<char>(c));
    return out;
}

const std::u16string* symbolAt(std::u16string_view s, size_t pos,
                               const std::vector<std::u16string>& symbols) {
    for (const auto& symbol : symbols)
        if (!symbol.empty() && s[pos] == symbol[0] && s.compare(pos, symbol.size(), symbol) == 0)
            return &symbol;
    return nullptr;
}

bool canStartNumber(char16_t c, const std::vector<std::u16string>& symbols) {
    if (isDigit(c) || c == u'-' || c == u'+' || c == u'(' || c == u'.' || c == u',')
        return true;
    return std::any_of(symbols.begin(), symbols.end(), [c](const std::u16string& symbol) {
        return !symbol.empty() && symbol[0] == c;
    });
}

size_t significantDigits(const QVNumberShape& shape) {
    const size_t lead = shape.integerDigits.find_first_not_of('0');
    if (lead != std::string::npos)
        return shape.integerDigits.size() - lead + shape.fractionDigits.size();
    const size_t fractionLead = shape.fractionDigits.find_first_not_of('0');
    return fractionLead == std::string::npos ? 0 : shape.fractionDigits.size() - fractionLead;
}

bool isShape(std::u16string_view text, bool commaFamily, uint64_t type,
             const std::vector<std::u16string>& symbols) {
    auto shape = QVRegex::scanNumber(text, commaFamily, symbols);
    return shape && shape->type == type;
}

} // namespace

std::optional<QVNumberShape> QVRegex::scanNumber(std::u16string_view text, bool commaFamily,
                                                 const std::vector<std::u16string>& symbols,
                                                 std::span<const uint32_t> pieceStarts) {
    // Most cell texts are words: they are refused at their first character,
    // before anything is copied.
    size_t first = 0;
    while (first < text.size() && foldToASCII(text[first]) == u' ')
        ++first;
    if (first == text.size() || !canStartNumber(foldToASCII(text[first]), symbols))
        return std::nullopt;
    size_t last = text.size();
    while (foldToASCII(text[last - 1]) == u' ')
        --last;
    // Numbers are short: their folded text stays on the stack.
    std::array<char16_t, 40> small;
    std::u16string large;
    char16_t* folded = small.data();
    if (last - first > small.size()) {
        large.resize(last - first);
        folded = large.data();
    }
    for (size_t k = first; k < last; ++k)
        folded[k - first] = foldToASCII(text[k]);
    std::u16string_view s(folded, last - first);
    // Offset of s[0] in `text` (folding keeps every character in its place).
    size_t base = first;

    QVNumberShape shape;
    if (s.front() == u'(') {
        if (s.size() < 2 || s.back() != u')')
            return std::nullopt;
        shape.parenthesized = true;
        shape.negative = true;
        s = s.substr(1, s.size() - 2);
        ++base;
    }
    if (s.find_first_of(u"()") != std::u16string_view::npos || s.empty())
        return std::nullopt;

    // A blank the page printed inside one string: not the gap where two
    // pieces were joined, which may stand between two separate numbers.
    auto isPrintedBlank = [&](size_t i) {
        const auto at = static_cast<uint32_t>(base + i);
        return !std::binary_search(pieceStarts.begin(), pieceStarts.end(), at) &&
               !std::binary_search(pieceStarts.begin(), pieceStarts.end(), at + 1);
    };

    const char16_t groupSeparator = commaFamily ? u',' : u'.';
    const char16_t decimalSeparator = commaFamily ? u'.' : u',';
    const size_t n = s.size();
    size_t i = 0;

    if (s[i] == u'-' || s[i] == u'+') {
        if (shape.parenthesized)
            return std::nullopt;
        shape.negative = s[i] == u'-';
        shape.sign = (text[base] == 0x2013 || text[base] == 0x2212) ? text[base] : s[i];
        ++i;
    }
    bool symbolBefore = false;
    if (i < n) {
        if (const auto* symbol = symbolAt(s, i, symbols)) {
            shape.currencySymbol = *symbol;
            symbolBefore = true;
            i += symbol->size();
            while (i < n && s[i] == u' ') {
                shape.blankBesideSymbol = true;
                ++i;
            }
        }
    }

    size_t start = i;
    while (i < n && isDigit(s[i]))
        ++i;
    const size_t firstGroupLength = i - start;
    shape.integerDigits = asciiDigits(s.substr(start, i - start));

    // Groups of exactly three digits, all behind the same separator.
    char16_t usedSeparator = 0;
    while (firstGroupLength > 0 && i < n && (s[i] == groupSeparator || s[i] == u' ')) {
        const bool isGroup = i + 3 < n && isDigit(s[i + 1]) && isDigit(s[i + 2]) &&
                             isDigit(s[i + 3]) && (i + 4 == n || !isDigit(s[i + 4]));
        if (!isGroup || (s[i] == u' ' && !isPrintedBlank(i)))
            break;
        if ((usedSeparator && s[i] != usedSeparator) || firstGroupLength > 3)
            return std::nullopt;
        usedSeparator = s[i];
        shape.groupSeparator = s[i] == u' ' ? text[base + i] : s[i];
        ++shape.groupCount;
        shape.integerDigits += asciiDigits(s.substr(i + 1, 3));
        i += 4;
    }

    if (i < n && s[i] == decimalSeparator) {
        start = ++i;
        while (i < n && isDigit(s[i]))
            ++i;
        if (i == start)
            return std::nullopt;
        shape.fractionDigits = asciiDigits(s.substr(start, i - start));
    }
    if (shape.integerDigits.empty()) {
        // ".5": a decimal part with no digit before it.
        if (shape.fractionDigits.empty())
            return std::nullopt;
        shape.integerDigits.assign(1, '0');
        shape.integerOmitted = true;
    }

    bool percent = false;
    bool symbolAfter = false;
    if (i < n && s[i] == u'%') {
        percent = true;
        ++i;
    } else if (i + 1 < n && s[i] == u' ' && s[i + 1] == u'%') {
        // "50 %": one blank before the sign, as typeset in many languages
        // (also when the sign was drawn apart: it cannot be another number).
        percent = true;
        shape.blankBesideSymbol = true;
        i += 2;
    } else if (i < n && !symbolBefore) {
        size_t j = i;
        while (j < n && s[j] == u' ')
            ++j;
        if (const auto* symbol = j < n ? symbolAt(s, j, symbols) : nullptr) {
            shape.currencySymbol = *symbol;
            shape.blankBesideSymbol = j > i;
            symbolAfter = true;
            i = j + symbol->size();
        }
    }
    if (i != n)
        return std::nullopt;

    if (shape.integerDigits.size() > 1 && shape.integerDigits.front() == '0')
        return std::nullopt;
    if (significantDigits(shape) > kMaxSignificantDigits)
        return std::nullopt;

    const bool currency = symbolBefore || symbolAfter;
    if (percent) {
        if (usedSeparator)
            return std::nullopt;
        shape.type = commaFamily ? 9 : 8;
    } else if (currency) {
        if (!usedSeparator && firstGroupLength > 3)
            return std::nullopt;
        shape.type = symbolBefore ? (commaFamily ? 4 : 5) : (commaFamily ? 6 : 7);
    } else if (usedSeparator == groupSeparator) {
        shape.type = commaFamily ? 2 : 3;
    } else {
        shape.type = commaFamily ? 0 : 1;
    }
    return shape;
}

bool QVRegex::validateGeneralNumbersDecimalSepartorByDot(std::u16string_view text) {
    return isShape(text, true, 0, {});
}
bool QVRegex::validateGeneralNumbersDecimalSepartorByComma(std::u16string_view text) {
    return isShape(text, false, 1, {});
}
bool QVRegex::validatePercentNumbersDecimalSepartorByDot(std::u16string_view text) {
    return isShape(text, true, 9, {});
}
bool QVRegex::validatePercentNumbersDecimalSepartorByComma(std::u16string_view text) {
    return isShape(text, false, 8, {});
}
bool QVRegex::validateNumbersWithThousandSepartorByComma(std::u16string_view text) {
    return isShape(text, true, 2, {});
}
bool QVRegex::validateNumbersWithThousandSepartorByDot(std::u16string_view text) {
    return isShape(text, false, 3, {});
}
bool QVRegex::validateCurrencyNumberSBNSC(std::u16string_view text,
                                          const std::vector<std::u16string>& symbols) {
    return isShape(text, true, 4, symbols);
}
bool QVRegex::validateCurrencyNumberSBNSD(std::u16string_view text,
                                          const std::vector<std::u16string>& symbols) {
    return isShape(text, false, 5, symbols);
}
bool QVRegex::validateCurrencyNumberSANSC(std::u16string_view text,
                                          const std::vector<std::u16string>& symbols) {
    return isShape(text, true, 6, symbols);
}
bool QVRegex::validateCurrencyNumberSANSD(std::u16string_view text,
                                          const std::vector<std::u16string>& symbols) {
    return isShape(text, false, 7, symbols);
}

std::u16string QVRegex::currencySymbols(const std::optional<std::vector<std::u16string>>& symbols) {
    if (!symbols || symbols->empty())
        return u"$\uFFE5\u00A5\u20AC";
    std::u16string joined;
    for (const auto& symbol : *symbols)
        joined += symbol;
    return joined;
}
