#include "pdf/QVPDFCIDTypeFont.h"

#include "pdf/QVPDFFontUtilities.h"

#include <algorithm>
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

    auto w = dict.getArray("W");
    if (!w)
        return;
    auto& exceps = cidWidths_.exceps;
    const size_t n = w->arraySize();
    size_t i = 0;
    while (i + 1 < n && exceps.size() < kMaxExceptions) {
        auto c = cidAt(*w, i);
        if (!c)
            break;
        platform::PdfObject next = w->at(i + 1);
        if (auto last = cidAt(*w, i + 1); last && next.integer()) {
            if (i + 2 >= n) {
                i += 1;
                continue;
            }
            if (auto width = w->numberAt(i + 2); width && *last >= *c)
                exceps.push_back({*c, *last, glyphUnits(*width)});
            i += 3;
        } else if (next.isArray()) {
            uint64_t cid = *c;
            const size_t m = next.arraySize();
            for (size_t k = 0; k < m && cid <= 0xFFFFFFFFu && exceps.size() < kMaxExceptions; ++k) {
                if (auto width = next.numberAt(k)) {
                    auto id = static_cast<uint32_t>(cid);
                    exceps.push_back({id, id, glyphUnits(*width)});
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

void QVPDFCIDTypeFont::setDW2(const platform::PdfObject& dict) {
    if (auto dw2 = dict.getArray("DW2"); dw2 && dw2->arraySize() == 2) {
        auto vy = dw2->numberAt(0), w1 = dw2->numberAt(1);
        if (vy && w1) {
            cidWidths_.defVY = glyphUnits(*vy);
            cidWidths_.defHeight = glyphUnits(*w1);
        }
    }

    auto w2 = dict.getArray("W2");
    if (!w2)
        return;
    auto& exceps = cidWidths_.excepsV;
    const size_t n = w2->arraySize();
    size_t i = 0;
    while (i + 1 < n && exceps.size() < kMaxExceptions) {
        auto c = cidAt(*w2, i);
        if (!c)
            break;
        platform::PdfObject next = w2->at(i + 1);
        if (auto last = cidAt(*w2, i + 1); last && next.integer()) {
            if (i + 4 >= n) {
                i += 1;
                continue;
            }
            auto h = w2->numberAt(i + 2), vx = w2->numberAt(i + 3), vy = w2->numberAt(i + 4);
            if (h && vx && vy && *last >= *c)
                exceps.push_back({*c, *last, glyphUnits(*h), glyphUnits(*vx), glyphUnits(*vy)});
            i += 5;
        } else if (next.isArray()) {
            uint64_t cid = *c;
            const size_t m = next.arraySize();
            for (size_t k = 0; k + 2 < m && cid <= 0xFFFFFFFFu && exceps.size() < kMaxExceptions;
                 k += 3) {
                auto h = next.numberAt(k), vx = next.numberAt(k + 1), vy = next.numberAt(k + 2);
                if (h && vx && vy) {
                    auto id = static_cast<uint32_t>(cid);
                    exceps.push_back({id, id, glyphUnits(*h), glyphUnits(*vx), glyphUnits(*vy)});
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
