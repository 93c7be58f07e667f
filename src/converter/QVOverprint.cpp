#include "converter/QVOverprint.h"

#include "pdf/content/QVPDFTextCharacters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

std::u16string_view QVOverprint::withoutTrailingBlanks(std::u16string_view text) {
    while (!text.empty() && QVPDF_IsWhitespaceCharacter(text.back()))
        text.remove_suffix(1);
    return text;
}

bool QVOverprint::isOverprintOf(const QVOverprintPiece& piece, const QVOverprintPiece& earlier) {
    if (!(std::fabs(piece.yBase - earlier.yBase) < kTolerance))
        return false;
    const std::u16string_view text = withoutTrailingBlanks(piece.text);
    const std::u16string_view under = withoutTrailingBlanks(earlier.text);
    if (text.empty())
        return false;
    // The first or last glyphs of a word drawn again at its start or its end
    // (the word grew from glyphs drawn one at a time before the copy came).
    const bool atStart =
        std::fabs(piece.xLeft - earlier.xLeft) < kTolerance && under.substr(0, text.size()) == text;
    const bool atEnd = (std::fabs(piece.xRight - earlier.xRight) < kTolerance ||
                        std::fabs(piece.textEnd - earlier.xRight) < kTolerance) &&
                       under.size() >= text.size() &&
                       under.substr(under.size() - text.size()) == text;
    return atStart || atEnd;
}

namespace {

bool isBlank(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), QVPDF_IsWhitespaceCharacter);
}

// Whether the two boxes share more than half of the narrower one.
bool coversMost(const QVOverprintPiece& a, const QVOverprintPiece& b) {
    const double overlap = std::min(a.xRight, b.xRight) - std::max(a.xLeft, b.xLeft);
    const double narrower = std::min(a.xRight - a.xLeft, b.xRight - b.xLeft);
    return overlap > 0.5 * narrower;
}

// Cells of one point: a match lies in the cell of the place or a neighbour.
int32_t cellOf(double v) {
    return static_cast<int32_t>(std::floor(v));
}

} // namespace

uint64_t QVOverprintIndex::cellKey(double x, double y) {
    return static_cast<uint64_t>(static_cast<uint32_t>(cellOf(x))) << 32 |
           static_cast<uint32_t>(cellOf(y));
}

bool QVOverprintIndex::matches(const Entry& e, const QVOverprintPiece& piece, uint64_t look,
                               bool blank) const {
    if (!isSameLook(e.look, look) || e.blank != blank)
        return false;
    if (blank)
        return e.text == piece.text && std::fabs(e.xLeft - piece.xLeft) < QVOverprint::kTolerance &&
               std::fabs(e.yBase - piece.yBase) < QVOverprint::kTolerance;
    const QVOverprintPiece earlier = e.piece();
    return QVOverprint::isOverprintOf(piece, earlier) && coversMost(piece, earlier);
}

uint32_t QVOverprintIndex::findIn(const std::unordered_map<uint64_t, Cell>& cells, double x,
                                  double y, const QVOverprintPiece& piece, uint64_t look,
                                  bool blank) const {
    uint32_t found = kNone;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const auto it = cells.find(cellKey(x + dx, y + dy));
            if (it == cells.end())
                continue;
            const Cell& cell = it->second;
            const size_t first = cell.size() > kMaxLookedAt ? cell.size() - kMaxLookedAt : 0;
            for (size_t k = cell.size(); k-- > first;)
                if ((found == kNone || cell[k] > found) &&
                    matches(entries_[cell[k]], piece, look, blank)) {
                    found = cell[k];
                    break;
                }
        }
    return found;
}

uint32_t QVOverprintIndex::original(const QVOverprintPiece& piece, uint64_t look,
                                    bool blank) const {
    uint32_t found = findIn(byStart_, piece.xLeft, piece.yBase, piece, look, blank);
    if (blank)
        return found;
    const auto later = [&](uint32_t e) {
        if (e != kNone && (found == kNone || e > found))
            found = e;
    };
    later(findIn(byEnd_, piece.xRight, piece.yBase, piece, look, blank));
    if (std::fabs(piece.textEnd - piece.xRight) >= QVOverprint::kTolerance)
        later(findIn(byEnd_, piece.textEnd, piece.yBase, piece, look, blank));
    return found;
}

void QVOverprintIndex::record(const QVOverprintPiece& piece, uint64_t look, bool blank) {
    const auto index = static_cast<uint32_t>(entries_.size());
    entries_.push_back({std::u16string(piece.text), piece.xLeft, piece.xRight, piece.textEnd,
                        piece.yBase, look, blank});
    byStart_[cellKey(piece.xLeft, piece.yBase)].push_back(index);
    if (!blank)
        byEnd_[cellKey(piece.xRight, piece.yBase)].push_back(index);
    lastRecorded_ = index;
}

QVOverprintIndex::Verdict QVOverprintIndex::judge(const QVOverprintPiece& piece, uint64_t look) {
    // Cell numbers must fit their 32 bits; callers pass places on or near the page.
    constexpr double kFar = 1e9;
    const auto usable = [&](double v) { return std::isfinite(v) && std::fabs(v) < kFar; };
    Verdict v;
    const bool hadTentative = tentative_;
    const uint32_t previous = lastRecorded_;
    tentative_ = false;
    lastRecorded_ = kNone;
    if (piece.text.empty() || !usable(piece.xLeft) || !usable(piece.xRight) ||
        !usable(piece.textEnd) || !usable(piece.yBase)) {
        lastWasCopy_ = false;
        return v;
    }
    const bool blank = isBlank(piece.text);
    const uint32_t under = original(piece, look, blank);
    if (under == kNone) {
        lastWasCopy_ = false;
        record(piece, look, blank);
        return v;
    }
    v.dropTentative = hadTentative;
    const bool oneGlyph = QVOverprint::withoutTrailingBlanks(piece.text).size() == 1;
    if (blank || !oneGlyph || lastWasCopy_ || hadTentative || under == previous) {
        v.drop = true;
        lastWasCopy_ = true;
        return v;
    }
    v.tentative = tentative_ = true;
    lastWasCopy_ = false;
    return v;
}

uint64_t QVOverprintIndex::lookOf(double size, int32_t red, int32_t green, int32_t blue) {
    const auto channel = [](int32_t v) { return uint64_t(std::clamp(v, 0, 255)); };
    const double hundredths = std::isfinite(size) ? std::clamp(size, 0.0, 1e6) * 100.0 : 0.0;
    return uint64_t(std::llround(hundredths)) << 24 | channel(red) << 16 | channel(green) << 8 |
           channel(blue);
}

bool QVOverprintIndex::isSameLook(uint64_t a, uint64_t b) {
    if (a >> 24 != b >> 24)
        return false;
    for (int shift : {0, 8, 16}) {
        const auto ca = int32_t((a >> shift) & 0xFF), cb = int32_t((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > kColourTolerance)
            return false;
    }
    return true;
}

void QVOverprintIndex::clear() {
    entries_.clear();
    byStart_.clear();
    byEnd_.clear();
    lastRecorded_ = kNone;
    lastWasCopy_ = false;
    tentative_ = false;
}
