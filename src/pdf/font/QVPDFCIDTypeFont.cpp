#include "pdf/font/QVPDFCIDTypeFont.h"

#include "pdf/font/QVPDFFontUtilities.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

/// A width from a PDF array in glyph units, as a fraction of the font size.
/// Damaged values (infinite, absurdly large) count as 0 so advances stay finite.
double glyphUnits(double v) {
    if (!std::isfinite(v) || std::abs(v) > 1e6)
        return 0.0;
    return v * 0.001;
}

std::optional<uint32_t> cidAt(const platform::PdfObject& array, size_t i) {
    auto v = array.integerAt(i);
    if (!v || *v < 0 || *v > 0xFFFFFFFFLL)
        return std::nullopt;
    return static_cast<uint32_t>(*v);
}

/// The index of the last entry whose first CID is at most `cid` when that
/// entry also covers it; none otherwise.
template <class Excep> const Excep* findException(const std::vector<Excep>& exceps, uint32_t cid) {
    if (exceps.empty() || cid < exceps.front().first)
        return nullptr;
    size_t a = 0, b = exceps.size();
    while (b - a > 1) {
        size_t m = (a + b) / 2;
        if (exceps[m].first <= cid)
            a = m;
        else
            b = m;
    }
    return cid <= exceps[a].last ? &exceps[a] : nullptr;
}

/// Reads a /W or /W2 array, whose entries are "c [v...]" (consecutive CIDs
/// from c, N values each) or "cfirst clast v..." (one range of N values), into
/// exceptions sorted as QVPDFFontCIDWidths keeps them. Damaged entries are
/// skipped; at most kMaxExceptions are kept.
template <size_t N, class Excep, class Make>
void readCIDMetrics(const platform::PdfObject& w, std::vector<Excep>& exceps, Make make) {
    constexpr size_t limit = QVPDFCIDTypeFont::kMaxExceptions;
    auto valuesAt = [](const platform::PdfObject& a, size_t at) {
        std::optional<std::array<double, N>> values(std::in_place);
        for (size_t j = 0; j < N; ++j) {
            auto v = a.numberAt(at + j);
            if (!v)
                return std::optional<std::array<double, N>>();
            (*values)[j] = glyphUnits(*v);
        }
        return values;
    };
    const size_t n = w.arraySize();
    size_t i = 0;
    while (i + 1 < n && exceps.size() < limit) {
        auto c = cidAt(w, i);
        if (!c)
            break;
        platform::PdfObject next = w.at(i + 1);
        if (auto last = cidAt(w, i + 1); last && next.integer()) {
            if (i + 1 + N >= n) {
                i += 1;
                continue;
            }
            if (auto v = valuesAt(w, i + 2); v && *last >= *c)
                exceps.push_back(make(*c, *last, *v));
            i += 2 + N;
        } else if (next.isArray()) {
            uint64_t cid = *c;
            const size_t m = next.arraySize();
            for (size_t k = 0; k + N <= m && cid <= 0xFFFFFFFFu && exceps.size() < limit; k += N) {
                if (auto v = valuesAt(next, k)) {
                    auto id = static_cast<uint32_t>(cid);
                    exceps.push_back(make(id, id, *v));
                    ++cid;
                }
            }
            i += 2;
        } else {
            i += 1;
        }
    }
    std::stable_sort(exceps.begin(), exceps.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

} // namespace

QVPDFCIDTypeFont::QVPDFCIDTypeFont(const platform::PdfObject& dict, const std::string& objectKey) {
    objectKey_ = objectKey;
    setSubtypeBaseFontName(dict);
    setCIDSystemInfoWithDictionary(dict);
    setFontDescriptorWithFontDictionary(dict);
    setWidthsWithFontDictionary(dict);
}

void QVPDFCIDTypeFont::setCIDSystemInfoWithDictionary(const platform::PdfObject& dict) {
    auto info = dict.getDictionary("CIDSystemInfo");
    if (!info)
        return;
    auto text = [&](const char* key, const char* fallback) {
        auto s = info->getString(key);
        return s && !s->empty() ? QVPDFFontUtilities::validUTF8(*s) : std::string(fallback);
    };
    std::string registry = text("Registry", "Adobe");
    std::string ordering = text("Ordering", "Identity");
    long long supplement = info->getInteger("Supplement").value_or(0);
    cidSystemRegion_ = registry + "-" + ordering;
    cidSystemInfo_ = *cidSystemRegion_ + "-" + std::to_string(supplement);
}

void QVPDFCIDTypeFont::setWidthsWithFontDictionary(const platform::PdfObject& dict) {
    cidWidths_ = QVPDFFontCIDWidths{};
    setDW(dict);
    setDW2(dict);
}

void QVPDFCIDTypeFont::setDW(const platform::PdfObject& dict) {
    if (auto dw = dict.getInteger("DW"))
        cidWidths_.defWidth = glyphUnits(static_cast<double>(*dw));
    if (auto w = dict.getArray("W"))
        readCIDMetrics<1>(*w, cidWidths_.exceps, [](uint32_t first, uint32_t last, auto v) {
            return QVPDFFontCIDWidthExcep{first, last, v[0]};
        });
}

void QVPDFCIDTypeFont::setDW2(const platform::PdfObject& dict) {
    if (auto dw2 = dict.getArray("DW2"); dw2 && dw2->arraySize() == 2) {
        auto vy = dw2->numberAt(0), w1 = dw2->numberAt(1);
        if (vy && w1) {
            cidWidths_.defVY = glyphUnits(*vy);
            cidWidths_.defHeight = glyphUnits(*w1);
        }
    }
    if (auto w2 = dict.getArray("W2"))
        readCIDMetrics<3>(*w2, cidWidths_.excepsV, [](uint32_t first, uint32_t last, auto v) {
            return QVPDFFontCIDWidthExcepV{first, last, v[0], v[1], v[2]};
        });
}

void QVPDFCIDTypeFont::getCIDWidths(uint32_t cid, bool vertical, float* dx, float* dy, float* ox,
                                    float* oy) const {
    const QVPDFFontCIDWidths& w = cidWidths_;
    if (!vertical) {
        double width = w.defWidth;
        if (const auto* e = findException(w.exceps, cid))
            width = e->width;
        *dx = static_cast<float>(width);
        *dy = *ox = *oy = 0;
        return;
    }
    // The default position vector is half the CID's own horizontal width (the
    // default width when /W does not list it) above DW2's vy.
    double width = w.defWidth;
    if (const auto* e = findException(w.exceps, cid))
        width = e->width;
    double h = w.defHeight, vx = width / 2, vy = w.defVY;
    if (const auto* e = findException(w.excepsV, cid)) {
        h = e->height;
        vx = e->vx;
        vy = e->vy;
    }
    *dx = 0;
    *dy = static_cast<float>(h);
    *ox = static_cast<float>(vx);
    *oy = static_cast<float>(vy);
}
