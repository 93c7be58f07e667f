#pragma once
// Overprinted text: a word drawn again over itself, a fraction of a point
// aside, to look bold (or drawn twice by a careless producer) is one word.
// The rule is shared by every output that reads text: the spreadsheet applies
// it to the runs it has joined so far and, at a page's end, asks the page's
// index of its joined runs; the flowing and Word outputs, which keep each
// string as drawn, ask a page's index of the strings drawn before.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// Where a piece of text stands on its line, in display points.
struct QVOverprintPiece {
    std::u16string_view text;
    double xLeft = 0;
    /// The end of its box, blanks joined to it included.
    double xRight = 0;
    /// Where its text ends before any blanks joined to it.
    double textEnd = 0;
    double yBase = 0;
};

class QVOverprint {
public:
    /// Pieces on baselines closer than this are on one line, and edges closer
    /// than this are the same place (points): fake bold moves its copies by a
    /// few tenths of a point.
    static constexpr double kTolerance = 1.0;

    /// The text without the blanks that end it.
    static std::u16string_view withoutTrailingBlanks(std::u16string_view text);

    /// Whether `piece` repeats `earlier` on its baseline, blanks after either
    /// aside: the start of its text from its start, or the end of its text to
    /// its end (within kTolerance), the whole text included. The look of the
    /// two is the caller's to compare.
    static bool isOverprintOf(const QVOverprintPiece& piece, const QVOverprintPiece& earlier);
};

/// The strings of one page as drawn, for outputs that keep each string as a
/// run of its own: tells whether a string repeats one drawn before it on the
/// page, wherever it came in the drawing order (a line may be drawn glyph by
/// glyph and then again). Blank strings repeat only a blank string of the
/// same text at the same start. A copy must also cover most of the string it
/// repeats: glyphs of a tiny font set a point apart are not copies.
///
/// One glyph over the same glyph may be chance: two texts overflowing into
/// each other share a digit here and there. Such a copy goes only with
/// evidence: it repeats the string drawn just before it, or the string drawn
/// before or after it is a copy too (fake bold redraws whole words and lines).
/// Until the next string tells, it is kept tentatively.
class QVOverprintIndex {
public:
    struct Verdict {
        /// The string is a copy: leave it out.
        bool drop = false;
        /// The string is kept for now; the next verdict may take it back.
        bool tentative = false;
        /// The tentative string before this one was a copy after all: take it back.
        bool dropTentative = false;
    };
    /// Judges the next string drawn, of the given `look` (a key of the
    /// properties copies share: size and colour). A string kept for good is
    /// recorded.
    Verdict judge(const QVOverprintPiece& piece, uint64_t look);
    /// The look key of a size (points) and a colour (0..255 each).
    static uint64_t lookOf(double size, int32_t red, int32_t green, int32_t blue);
    /// Whether two looks are one: the same size, and colours no reader tells
    /// apart (each channel within kColourTolerance). A producer may draw a
    /// block again in another black (a rich black over the CMYK black,
    /// 191a1e over 231f20 once made RGB); a shadow or a highlight in a
    /// colour of its own is another look.
    static bool isSameLook(uint64_t a, uint64_t b);
    static constexpr int32_t kColourTolerance = 40;
    /// Forgets every piece (a new page).
    void clear();

private:
    struct Entry {
        std::u16string text;
        double xLeft, xRight, textEnd, yBase;
        uint64_t look;
        bool blank;
        QVOverprintPiece piece() const { return {text, xLeft, xRight, textEnd, yBase}; }
    };
    using Cell = std::vector<uint32_t>;
    static constexpr uint32_t kNone = UINT32_MAX;
    static uint64_t cellKey(double x, double y);
    bool matches(const Entry& e, const QVOverprintPiece& piece, uint64_t look, bool blank) const;
    /// The latest matching entry around (x, y), or kNone.
    uint32_t findIn(const std::unordered_map<uint64_t, Cell>& cells, double x, double y,
                    const QVOverprintPiece& piece, uint64_t look, bool blank) const;
    /// The latest entry `piece` repeats, or kNone.
    uint32_t original(const QVOverprintPiece& piece, uint64_t look, bool blank) const;
    void record(const QVOverprintPiece& piece, uint64_t look, bool blank);

    std::vector<Entry> entries_;
    // Entries by the cell of their start and of their end on their baseline.
    std::unordered_map<uint64_t, Cell> byStart_;
    std::unordered_map<uint64_t, Cell> byEnd_;
    // The entry recorded for the string judged last, if it was recorded.
    uint32_t lastRecorded_ = kNone;
    bool lastWasCopy_ = false;
    bool tentative_ = false;
    /// Entries of one cell looked at, the latest first: a page drawing
    /// thousands of strings at one place costs no more than this each.
    static constexpr size_t kMaxLookedAt = 16;
};

/// What a run-keeping output does with the next string drawn.
struct QVOverprintOutcome {
    /// The string is a copy: add no run for it.
    bool drop = false;
    /// The string's run is kept tentatively: the next string may take it back.
    bool tentative = false;
    /// The tentative run before it was taken off the end of the run list.
    bool tookBack = false;
};

/// For outputs that keep each string drawn as a run (Word, flowing text):
/// judges the next string against the page's index and, when the verdict
/// takes back the tentative run before it and that run is still the list's
/// last, removes it. `tentativeRun` (the draw index of the run kept
/// tentatively) is cleared; the caller sets it again for a run it keeps
/// tentatively.
template <class RunList>
QVOverprintOutcome judgeDrawnString(QVOverprintIndex& index, RunList& runs,
                                    std::optional<uint64_t>& tentativeRun,
                                    const QVOverprintPiece& piece, uint64_t look) {
    const QVOverprintIndex::Verdict verdict = index.judge(piece, look);
    QVOverprintOutcome outcome;
    outcome.drop = verdict.drop;
    outcome.tentative = verdict.tentative;
    outcome.tookBack = verdict.dropTentative && tentativeRun && !runs.empty() &&
                       runs.back()->drawIndex() == *tentativeRun;
    if (outcome.tookBack)
        runs.pop_back();
    tentativeRun.reset();
    return outcome;
}
