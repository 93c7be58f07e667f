// The overprint rule and the page index of strings as drawn: copies of a
// word drawn over it (fake bold) are found wherever they come in the drawing
// order; text merely set close together is not.

#include "converter/QVOverprint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QVOverprintPiece piece(std::u16string_view text, double x, double width, double base = 100) {
    return {text, x, x + width, x + width, base};
}

} // namespace

TEST(QVOverprint, RuleRows) {
    struct Row {
        const char* what;
        std::u16string text;
        double x, width, base;
        bool copy;
    } rows[] = {
        // Under "Word " at 100..130 on baseline 100.
        {"the word again, a fraction aside", u"Word", 100.3, 25, 100.2, true},
        {"its first glyph at its start", u"W", 100, 9, 100, true},
        {"its last glyphs at its end", u"rd ", 117.2, 12.8, 100, true},
        {"its first glyph a point aside", u"W", 101.2, 9, 100, false},
        {"another word at its start", u"Wax", 100, 18, 100, false},
        {"the word on the next line", u"Word", 100, 25, 112, false},
        {"blanks are no copy", u"  ", 100, 5, 100, false},
    };
    const QVOverprintPiece under = piece(u"Word ", 100, 30);
    for (const Row& r : rows)
        EXPECT_EQ(QVOverprint::isOverprintOf(piece(r.text, r.x, r.width, r.base), under), r.copy)
            << r.what;
}

// The strings a caller keeps when it follows the index's verdicts.
struct Page {
    QVOverprintIndex index;
    std::vector<std::u16string> kept;
    bool lastTentative = false;
    void draw(std::u16string_view text, double x, double width, double base = 100,
              uint64_t look = QVOverprintIndex::lookOf(12, 0, 0, 0)) {
        const QVOverprintIndex::Verdict v = index.judge(piece(text, x, width, base), look);
        if (v.dropTentative) {
            EXPECT_TRUE(lastTentative);
            kept.pop_back();
        }
        lastTentative = v.tentative;
        if (!v.drop)
            kept.emplace_back(text);
    }
    std::u16string text() const {
        std::u16string all;
        for (const auto& k : kept)
            all += k;
        return all;
    }
};

TEST(QVOverprint, PageIndexFindsCopiesInAnyDrawingOrder) {
    // A line drawn glyph by glyph, then three times again a quarter point
    // aside (as a word processor draws fake bold): it reads once.
    const std::u16string_view glyphs[] = {u"B", u"o", u"l", u"d", u" ", u"i", u"t"};
    Page line;
    for (int pass = 0; pass < 4; ++pass)
        for (int g = 0; g < 7; ++g)
            line.draw(glyphs[g], 72 + 7.0 * g + 0.24 * (pass % 2), 7, 100 + 0.24 * (pass / 2));
    EXPECT_EQ(line.text(), u"Bold it");

    // Words drawn whole, then again; a glyph drawn four times in a row, and
    // one drawn twice in a row at the page's end.
    Page words;
    for (int pass = 0; pass < 2; ++pass) {
        words.draw(u"Title ", 72 + 0.3 * pass, 30);
        words.draw(u"words", 102 + 0.3 * pass, 28);
    }
    for (int pass = 0; pass < 4; ++pass)
        words.draw(u"7", 300 + 0.2 * pass, 6, 200);
    words.draw(u"8", 310, 6, 300);
    words.draw(u"8", 310.2, 6, 300);
    EXPECT_EQ(words.text(), u"Title words78");
}

TEST(QVOverprint, TextThatOnlyMeetsOtherTextIsKept) {
    // Two texts overflowing into each other share a digit at nearly one
    // place, here and there: no glyph before or after it is a copy.
    Page page;
    const std::u16string_view first[] = {u"1", u"4", u"4", u","};
    const std::u16string_view second[] = {u"2", u"6", u"4", u"0"};
    for (int g = 0; g < 4; ++g)
        page.draw(first[g], 491.67 + 5.04 * g, 5);
    for (int g = 0; g < 4; ++g)
        page.draw(second[g], 492.24 + 5.04 * g, 5);
    EXPECT_EQ(page.text(), u"144,2640");

    struct Row {
        const char* what;
        std::u16string_view text;
        double x, width;
        uint64_t look;
        bool kept;
    } rows[] = {
        {"another colour is other text", u"Word", 491.8, 20,
         QVOverprintIndex::lookOf(12, 255, 0, 0), true},
        {"another size is other text", u"Word", 491.8, 20, QVOverprintIndex::lookOf(14, 0, 0, 0),
         true},
        {"the word again", u"Word", 491.9, 20, QVOverprintIndex::lookOf(14, 0, 0, 0), false},
        {"again in another black", u"Word", 491.9, 20, QVOverprintIndex::lookOf(14, 35, 31, 32),
         false},
    };
    for (const Row& r : rows) {
        const size_t before = page.kept.size();
        page.draw(r.text, r.x, r.width, 100, r.look);
        EXPECT_EQ(page.kept.size() > before, r.kept) << r.what;
    }
    page.index.clear();
    EXPECT_FALSE(
        page.index.judge(piece(u"Word", 491.9, 20), QVOverprintIndex::lookOf(14, 0, 0, 0)).drop)
        << "a new page";
}

TEST(QVOverprint, GlyphsOfATinyFontAreNoCopies) {
    // "iii" at 3 pt: each glyph 0.8 pt from the one before, within the
    // tolerance but not covering it.
    Page page;
    for (int k = 0; k < 3; ++k)
        page.draw(u"i", 50 + 0.8 * k, 0.8, 100, QVOverprintIndex::lookOf(3, 0, 0, 0));
    EXPECT_EQ(page.text(), u"iii");
}

TEST(QVOverprint, ManyStringsAtOnePlaceStayCheap) {
    // Different strings piled on one place: each lookup reads a bounded
    // number of them, and nothing that is not a copy is dropped.
    QVOverprintIndex index;
    const uint64_t look = QVOverprintIndex::lookOf(10, 0, 0, 0);
    size_t kept = 0;
    for (int k = 0; k < 20'000; ++k) {
        const std::u16string text = u"x" + std::u16string(1, char16_t(0x4E00 + k));
        kept += !index.judge(piece(text, 10, 8), look).drop;
    }
    EXPECT_EQ(kept, 20'000u);
}
