// The page layout of QVDocxPage: text runs become lines, horizontal bands,
// columns and paragraphs whose exact line heights and indents put every line
// where it stood on the PDF page.
#include "docx/QVDocxPage.h"

#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunText.h"
#include "docx/QVDocxUtilities.h"
#include "pdf/font/BuiltinFont.h"
#include "pdf/font/BuiltinFontManager.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using RunPtr = QVDocxPage::RunPtr;
using LinePart = QVDocxPage::LinePart;
using LineSect = QVDocxPage::LineSect;
using ColumnSect = QVDocxPage::ColumnSect;
using Div = std::vector<LineSect>;

// Text starting lower than this leaves a blank band above it; the page's top
// margin is never larger.
constexpr double kMaximumTopMargin = 72.0;
// Word lays out at most this many columns; a band with more is laid out as
// one column with indents from the page edge.
constexpr size_t kMaximumColumns = 45;
// Narrower columns are joined with their left neighbour: Word merges
// columns narrower than this, which would reflow the text.
constexpr double kMinimumColumnWidth = 36.0;
// The section of a single-column band: Word's usual half-inch gap.
constexpr float kSingleColumnEqualWidth = 720.0f;

// A line overlapping the one before it keeps at least this share of its own
// height as its exact line height.
constexpr double kOverlapLineShare = 0.6;

// The lowest line of a page ends this far above its foot at the lowest: the
// line heights above it are rounded to twentieths of a point one by one.
constexpr double kFootSlack = 1.0;

float f32(double v) { return static_cast<float>(v); }

// The space estimate of a gap between two parts of a line is at least this
// share of the font size (a font may report a tiny space): as in the run
// merging.
constexpr double kMinimumSpaceShare = 0.2;
// A part starting this far or farther over the end of the one before is a
// word of its own (a label drawn over a padded field); one that starts a
// rounding error before that end continues the word ("H" then a subscript
// "2" read "H2", not "H 2").
constexpr double kOverlapApart = 0.5;

// A gap between parts of a line of more than this many spaces goes to a tab
// stop; a narrower one stays a space (a word placed on its own, whose
// printed end could pass the next word's stop and push it one stop on).
constexpr double kTabGapSpaces = 2.0;

/// The width of a space after run R.
double spaceOf(const QVDocxRunText& R) {
    return std::max(R.spaceWidth(), kMinimumSpaceShare * std::fabs(R.ctmInfo().fontSize.width));
}


/// A field padded with spaces (a table cell drawn as "06/22/2015" and twenty
/// blanks) reaches over the next part, which is drawn over its blanks: the
/// blanks are padding, not text. Drops R's trailing spaces when the next part
/// starts within them, `over` points before R's end; returns the width given
/// back (0 when the next part overlaps R's letters, which stay as they are).
double dropPadding(QVDocxRunText& R, double over) {
    std::u16string& text = R.runText();
    size_t n = 0;
    while (n < text.size() && text[text.size() - 1 - n] == u' ')
        ++n;
    if (n == 0 || n == text.size())
        return 0.0;
    const double blanks = std::min(static_cast<double>(n) * spaceOf(R), R.textWidth());
    if (blanks + kOverlapApart < over)
        return 0.0;
    text.resize(text.size() - n);
    R.setTextWidth(R.textWidth() - blanks);
    return blanks;
}

/// Removes from `list` the elements of `taken` (by identity of their first run).
template <typename T>
void removeTaken(std::vector<T>& list, const std::vector<T>& taken) {
    for (const T& t : taken) {
        auto it = std::find(list.begin(), list.end(), t);
        if (it != list.end())
            list.erase(it);
    }
}

void sortLeftToRight(LineSect& parts) {
    std::stable_sort(parts.begin(), parts.end(), [](const LinePart& a, const LinePart& b) {
        return QVDocxPage::_leftXOfLinePartArray(a) < QVDocxPage::_leftXOfLinePartArray(b);
    });
}

/// A column's parts in reading order: line by line, each line left to right.
LineSect readingOrder(LineSect column) {
    std::stable_sort(column.begin(), column.end(), [](const LinePart& a, const LinePart& b) {
        return QVDocxPage::_minBaseLineOfLinePartArray(a) <
               QVDocxPage::_minBaseLineOfLinePartArray(b);
    });
    LineSect ordered;
    while (!column.empty()) {
        LineSect line = QVDocxPage::_collectYColumnIntersectRunTexts(column);
        column.erase(column.begin(), column.begin() + static_cast<long>(line.size()));
        sortLeftToRight(line);
        ordered.insert(ordered.end(), line.begin(), line.end());
    }
    return ordered;
}

/// The columns of a band, left to right; too narrow ones joined with their
/// left neighbour, and a band of too many columns laid out as one.
Div columnsOfBand(const Div& band, double pageWidth) {
    LineSect parts;
    for (const LineSect& sect : band)
        parts.insert(parts.end(), sect.begin(), sect.end());
    sortLeftToRight(parts);
    Div columns;
    while (!parts.empty()) {
        LineSect column = QVDocxPage::_collectXIntersectRunTexts(parts);
        parts.erase(parts.begin(), parts.begin() + static_cast<long>(column.size()));
        const double leftEdge = QVDocxPage::_minLeftXOfColumnArray(column);
        const double previousEdge =
            columns.size() > 1 ? QVDocxPage::_minLeftXOfColumnArray(columns.back()) : 0.0;
        if (!columns.empty() && leftEdge - previousEdge < kMinimumColumnWidth)
            columns.back().insert(columns.back().end(), column.begin(), column.end());
        else
            columns.push_back(std::move(column));
    }
    if (columns.size() > 1 &&
        pageWidth - QVDocxPage::_minLeftXOfColumnArray(columns.back()) < kMinimumColumnWidth) {
        LineSect last = std::move(columns.back());
        columns.pop_back();
        columns.back().insert(columns.back().end(), last.begin(), last.end());
    }
    if (columns.size() > kMaximumColumns) {
        LineSect all;
        for (const LineSect& c : columns)
            all.insert(all.end(), c.begin(), c.end());
        columns = {std::move(all)};
    }
    for (LineSect& column : columns)
        column = readingOrder(std::move(column));
    return columns;
}

// A reader sets a line in its own face: the standard one of the family's
// kind, a little wider still for hinting and rounding, and a few points of
// its own at the column's edge.
constexpr double kReaderWidthSlack = 1.02;
constexpr double kReaderWidthPad = 2.0;
// Bands whose columns start this close to each other have the same columns.
constexpr double kSameColumnEdge = 6.0;

/// The width a reader prints a run in: the standard face of its family's
/// kind (Helvetica, the widest of them, when the kind is unknown), or the
/// PDF's own width when that is wider or a character has no standard width.
double readerWidth(const QVDocxRunText& run) {
    const QVDocx_RPr& r = run.rProperty();
    ReaderFontKind kind = r.fontKind;
    if (kind == ReaderFontKind::Unknown)
        kind = readerFontKind(r.rFonts.ascii);
    const char* face = kind == ReaderFontKind::Mono    ? (r.b ? "Courier-Bold" : "Courier")
                       : kind == ReaderFontKind::Serif ? (r.b ? "Times-Bold" : "Times-Roman")
                                                       : (r.b ? "Helvetica-Bold" : "Helvetica");
    const double own = std::fabs(run.textWidth());
    const auto font = BuiltinFontManager::sharedManager().findBuildinFont(face);
    if (!font)
        return own;
    double units = 0;
    for (const char16_t c : run.runText()) {
        const std::optional<uint16_t> w = font->fontWidths().getCharacter(c == u'\t' ? u' ' : c);
        if (!w)
            return own;
        units += *w;
    }
    return std::max(own, units * r.sz / 1000.0);
}

/// How wide a column must be for its widest line, as a reader prints it,
/// measured from the column's left edge `columnX`.
double neededWidth(const LineSect& column, double columnX) {
    double need = 0;
    LineSect rest = column;
    while (!rest.empty()) {
        const LineSect line = QVDocxPage::_collectSampleBaseLineInColumnArray(rest);
        removeTaken(rest, line);
        double width = 0;
        double right = QVDocxPage::_leftXOfLinePartArray(line.front());
        for (const LinePart& part : line) {
            width += std::max(QVDocxPage::_leftXOfLinePartArray(part) - right, 0.0);
            for (const RunPtr& run : part)
                width += readerWidth(*run);
            right = QVDocxPage::_rightXOfLinePartArray(part);
        }
        need = std::max(need, QVDocxPage::_leftXOfLinePartArray(line.front()) - columnX +
                                  width * kReaderWidthSlack + kReaderWidthPad);
    }
    return need;
}

/// Whether every column of a band holds its widest line between its left
/// edge and the next column's (the page's right edge for the last): a line
/// that does not fit wraps, and the band grows down the page.
bool columnsFit(const Div& columns, double pageWidth) {
    if (columns.size() < 2)
        return true;
    for (size_t k = 0; k < columns.size(); ++k) {
        const double x = k == 0 ? 0.0 : QVDocxPage::_minLeftXOfColumnArray(columns[k]);
        const double next = k + 1 < columns.size()
                                ? QVDocxPage::_minLeftXOfColumnArray(columns[k + 1])
                                : pageWidth;
        if (neededWidth(columns[k], x) > next - x)
            return false;
    }
    return true;
}

size_t lineCount(const LineSect& column) {
    size_t n = 0;
    LineSect rest = column;
    while (!rest.empty()) {
        removeTaken(rest, QVDocxPage::_collectSampleBaseLineInColumnArray(rest));
        ++n;
    }
    return n;
}

// A column whose next line stands this much above a line before it does not
// read top to bottom.
constexpr double kUpwardLine = 5.0;

/// Whether a column's lines, in its reading order, go down the page. Rows of
/// a table standing closer than their height chain into one line, which is
/// then read left to right: every row's first cell, then every row's second.
bool readsDownward(const LineSect& column) {
    double lowest = -std::numeric_limits<double>::infinity();
    LineSect rest = column;
    while (!rest.empty()) {
        const LineSect line = QVDocxPage::_collectSampleBaseLineInColumnArray(rest);
        removeTaken(rest, line);
        const double base = QVDocxPage::_maxBaseLineOfLinePartArray(line.front());
        if (base < lowest - kUpwardLine)
            return false;
        lowest = std::max(lowest, base);
    }
    return true;
}

bool hasColumnOfOneLine(const Div& columns) {
    return std::any_of(columns.begin(), columns.end(),
                       [](const LineSect& c) { return lineCount(c) < 2; });
}

/// Whether two bands have the same columns: as many, starting at nearly the
/// same places.
bool sameColumns(const Div& a, const Div& b) {
    if (a.size() != b.size())
        return false;
    for (size_t k = 1; k < a.size(); ++k)
        if (std::fabs(QVDocxPage::_minLeftXOfColumnArray(a[k]) -
                      QVDocxPage::_minLeftXOfColumnArray(b[k])) > kSameColumnEdge)
            return false;
    return true;
}

bool sameSectionColumns(const QVDocx_Cols& a, const QVDocx_Cols& b) {
    if (a.num != b.num || a.col.size() != b.col.size())
        return false;
    for (size_t k = 0; k < a.col.size(); ++k)
        if (a.col[k].w != b.col[k].w || a.col[k].space != b.col[k].space)
            return false;
    return true;
}

/// The bands of a page, laid out: consecutive bands with the same columns
/// become one band whose columns run on through both (each would otherwise
/// be a section of its own, and readers lay out thousands of sections
/// slowly); a band whose columns cannot hold their lines, do not read down
/// the page, or include a column of one line, becomes one column of its lines, top to bottom, whose parts stand at tab stops (`tabbed`).
/// `lines` holds each band's lines, `bands` its columns.
std::vector<Div> joinedBands(const std::vector<Div>& lines, const std::vector<Div>& bands,
                             double pageWidth, std::vector<bool>& tabbed) {
    std::vector<Div> out;
    tabbed.clear();
    for (size_t b = 0; b < bands.size();) {
        // The run of bands with the same columns as this one, joined.
        Div joined = bands[b];
        size_t e = b + 1;
        while (joined.size() > 1 && e < bands.size() && sameColumns(joined, bands[e])) {
            for (size_t k = 0; k < joined.size(); ++k)
                joined[k].insert(joined[k].end(), bands[e][k].begin(), bands[e][k].end());
            ++e;
        }
        // Columns of one line each are parts of rows, not columns (a table's
        // row, a formula beside its number): at tab stops they read the same
        // and need no section of their own.
        const bool asColumns =
            !hasColumnOfOneLine(joined) && columnsFit(joined, pageWidth) &&
            std::all_of(joined.begin(), joined.end(), [](const LineSect& c) { return readsDownward(c); });
        if (joined.size() == 1 || asColumns) {
            out.push_back(std::move(joined));
            tabbed.push_back(false);
        } else {
            // Line by line: a column's reading order would chain the rows of
            // a table whose lines stand closer than their height into one.
            LineSect all;
            for (size_t k = b; k < e; ++k)
                for (const LineSect& line : lines[k])
                    all.insert(all.end(), line.begin(), line.end());
            out.push_back(Div{std::move(all)});
            tabbed.push_back(true);
        }
        b = e;
    }
    return out;
}

QVDocx_Cols columnsOfSection(const Div& columns, float pageWidth) {
    QVDocx_Cols cols;
    cols.num = static_cast<int32_t>(columns.size());
    if (columns.size() == 1) {
        cols.equalWidth = kSingleColumnEqualWidth;
        return cols;
    }
    cols.equalWidth = 0;
    std::vector<double> x{0.0};
    for (size_t k = 1; k < columns.size(); ++k)
        x.push_back(QVDocxPage::_minLeftXOfColumnArray(columns[k]));
    x.push_back(pageWidth);
    for (size_t k = 0; k < columns.size(); ++k)
        cols.col.push_back({0.0f, f32(x[k + 1] - x[k])});
    return cols;
}

void endSection(QVDocxParagraph& p) {
    QVDocx_SectPr s = p.sectProperty();
    s.write = 1;
    s.type = 1;
    p.setSectProperty(std::move(s));
}

/// A paragraph's section record without the section's end.
QVDocx_SectPr openSection(QVDocx_SectPr s) {
    s.write = 0;
    return s;
}

void setLine(QVDocxParagraph& p, double line) {
    QVDocx_PPr pPr = p.pProperty();
    pPr.spacing.line = f32(line);
    p.setPProperty(std::move(pPr));
}

// Pieces a point or more apart are separate words, as in the run merging.
constexpr double kWordGap = 1.0;

/// Moves N's runs to the end of L's. A piece standing a word gap or more
/// after L's text, or starting back before its end (a line below joined to
/// its paragraph), is a word of its own: it gets a space, or the two would
/// read as one word ("mc" and a "2" set apart give "mc2", a cell's two lines
/// "TRANSPORTATION" and "AIRFARE" gave "TRANSPORTATIONAIRFARE").
void mergeInto(QVDocxParagraph& L, QVDocxParagraph& N) {
    QVDocxRunText* last = L.lastRunText();
    const QVDocxRunText* next = N.firstRunText();
    if (last && next && !last->runText().empty() && last->runText().back() != u' ' &&
        !next->runText().empty() && next->runText().front() != u' ') {
        const double end = last->ctmInfo().bottomLeft.x + last->textWidth();
        if (std::fabs(next->ctmInfo().bottomLeft.x - end) >= kWordGap)
            last->runText() += u' ';
    }
    auto& runs = L.runArray();
    runs.insert(runs.end(), N.runArray().begin(), N.runArray().end());
}

/// Resolves again after a merge, keeping the indent measured from the column.
void resolveAgain(QVDocxParagraph& p) {
    p.resolveProperty();
    p.resolveColumnProperty();
}

QVDocxParagraph::RunArray runsOf(const LinePart& part) {
    return QVDocxParagraph::RunArray(part.begin(), part.end());
}

LinePart textRunsOf(const QVDocxParagraph& p) {
    LinePart runs;
    for (const auto& r : p.runArray())
        if (r->asRunText())
            runs.push_back(std::static_pointer_cast<QVDocxRunText>(r));
    return runs;
}

/// Where a line's printed text stands: its horizontal and vertical extent,
/// lowest baseline and largest size, blank runs left out (a lone space drawn
/// at the margin would stretch a centred line across the page).
struct LineBox {
    bool blank = true;
    double left = 0, right = 0, top = 0, bottom = 0, base = 0, size = 0;
};

LineBox boxOf(const LinePart& runs) {
    LineBox b;
    for (const RunPtr& r : runs) {
        const std::u16string& t = r->runText();
        if (r->rProperty().u == 0 && r->rProperty().highlight == 0 &&
            std::all_of(t.begin(), t.end(), [](char16_t c) { return c == u' ' || c == 0xA0; }))
            continue;
        const QVPDF_CTMInfo& g = r->ctmInfo();
        const double left = g.bottomLeft.x, right = left + r->textWidth();
        const double size = r->rProperty().sz;
        if (b.blank) {
            b = {false, left, right, g.topLeft.y, g.bottomLeft.y, g.yBase, size};
            continue;
        }
        b.left = std::min(b.left, left);
        b.right = std::max(b.right, right);
        b.top = std::min(b.top, g.topLeft.y);
        b.bottom = std::max(b.bottom, g.bottomLeft.y);
        b.base = std::max(b.base, g.yBase);
        b.size = std::max(b.size, size);
    }
    return b;
}

LinePart runsOfLine(const LineSect& line) {
    LinePart runs;
    for (const LinePart& part : line)
        runs.insert(runs.end(), part.begin(), part.end());
    return runs;
}

// A script is at most this many ems of its base line's size wide ("2",
// "n-1", "max"); a longer line is a line of its own.
constexpr double kScriptEms = 4.0;
// A script's baseline lies within its base line's height, give or take this
// share of it (a subscript hangs a little below the base's descent).
constexpr double kScriptBaseSlack = 0.25;

enum class Join {
    Script, ///< raised or lowered beside its base line: marked and joined
    Beside, ///< on the base line's row, right of it: joined as it is
    Own,    ///< a line of its own: a paragraph of its own
};

/// How a line `c` that stands close above or below the line `base` joins it.
/// Only a short piece within the base line's reach, with its baseline within
/// the base line's height, is a script: a whole line set close under a
/// heading in a smaller size is not ("PROCES-VERBAL" under "COMITE" read as
/// tiny raised text after the line before).
Join joinOf(const LineBox& c, const LineBox& base) {
    if (c.blank || base.blank)
        return Join::Beside;
    const double height = base.bottom - base.top;
    const double slack = kScriptBaseSlack * height;
    if (c.base < base.top - slack || c.base > base.bottom + slack)
        return Join::Own;
    const double reach = std::max(0.5 * base.size, 2.0);
    if (c.size < base.size && c.right - c.left <= kScriptEms * base.size &&
        c.left <= base.right + reach && c.right >= base.left - reach)
        return Join::Script;
    if (c.left >= base.right - reach / 2)
        return Join::Beside;
    return Join::Own;
}

} // namespace

void QVDocxPage::_creatParagraphs() {
    // Stage A: merged runs, lines top to bottom, bands, columns.
    LinePart merged;
    {
        LinePart remaining = allRunTextArray_;
        while (!remaining.empty()) {
            const LinePart group = _findMergeRunArray(remaining);
            merged.push_back(_mergeRunArray(group));
            remaining.erase(remaining.begin(), remaining.begin() + static_cast<long>(group.size()));
        }
    }
    std::stable_sort(merged.begin(), merged.end(), [](const RunPtr& a, const RunPtr& b) {
        return a->ctmInfo().yBase < b->ctmInfo().yBase;
    });
    std::vector<LineSect> lineSects;
    while (!merged.empty()) {
        LinePart line = _collectSameBaseLineRunTexts(merged);
        removeTaken(merged, line);
        std::stable_sort(line.begin(), line.end(), [](const RunPtr& a, const RunPtr& b) {
            return a->ctmInfo().bottomLeft.x < b->ctmInfo().bottomLeft.x;
        });
        lineSects.push_back(_collectLinePartArrayInSameBaseLine(line));
    }
    std::vector<Div> bandLines;
    std::vector<Div> bands;
    while (!lineSects.empty()) {
        Div band = _collectYIntersectRunTexts(lineSects);
        lineSects.erase(lineSects.begin(), lineSects.begin() + static_cast<long>(band.size()));
        bands.push_back(columnsOfBand(band, sectProperty_.pgSz.w));
        bandLines.push_back(std::move(band));
    }
    std::vector<bool> tabbed;
    const std::vector<Div> divs = joinedBands(bandLines, bands, sectProperty_.pgSz.w, tabbed);

    // Stage B: paragraphs per band and column.
    ParagraphArray P;
    // Where each column of a div begins in P, apart from the first column's:
    // such a paragraph stands below the div's top, not below the paragraph
    // before it in P (the last one of the column to its left).
    std::vector<size_t> divStarts;
    std::vector<bool> laterColumnStart;
    double previousBottom = 0.0;
    for (size_t i = 0; i < divs.size(); ++i) {
        const Div& div = divs[i];
        double divTop = _minTopYOfDivArray(div);
        double space;
        if (i == 0) {
            QVDocx_PgMar margins;
            if (divTop <= 0) {
                // Text reaching above the page: no negative margin, which
                // readers take as "at least" and lay the page out from below.
                margins.top = 0;
                space = 0;
            } else if (divTop <= kMaximumTopMargin) {
                margins.top = f32(divTop);
                space = 0;
            } else {
                margins.top = f32(kMaximumTopMargin);
                space = divTop - kMaximumTopMargin;
            }
            sectProperty_.pgMar = margins;
        } else {
            space = divTop - previousBottom;
        }
        previousBottom = _maxBottomYOfDivArray(div);
        QVDocx_SectPr S = QVDocxUtilities::defaultSectProperty();
        S.write = 0;
        S.type = 1;
        S.pgSz = sectProperty_.pgSz;
        S.pgMar = sectProperty_.pgMar;
        if (space > 0)
            divTop -= space;
        S.cols = columnsOfSection(div, S.pgSz.w);
        // A section ends only where the columns change: one-column bands, and
        // bands with the same columns, run on in one section.
        if (!P.empty() && !sameSectionColumns(P.back()->sectProperty().cols, S.cols))
            endSection(*P.back());
        // Exact line heights carry every line's place; a line grid would
        // round each line up to its pitch and move the text down the page.
        S.docGrid.type.reset();
        divStarts.push_back(P.size());

        for (size_t j = 0; j < div.size(); ++j) {
            ColumnSect columnSect;
            LineSect column = div[j];
            while (!column.empty()) {
                LineSect line = _collectSampleBaseLineInColumnArray(column);
                removeTaken(column, line);
                columnSect.push_back(std::move(line));
            }
            const double columnX = j == 0 ? 0.0 : _minLeftXOfColumnSectArray(columnSect);
            double referenceBottom = divTop;
            ParagraphArray C;
            // The runs of the row the last paragraph of C ends with: what a
            // script of the next line would stand beside.
            LinePart baseRuns;
            for (LineSect line : columnSect) {
                // Spaces print nothing: a line of spaces only, as a paragraph,
                // would push the lines below down by its height, and spaces
                // that begin a line would put its text where they stood
                // (spaces drawn at the margin beside centred title lines).
                while (!line.empty() && boxOf(line.front()).blank)
                    line.erase(line.begin());
                if (line.empty())
                    continue;
                const LinePart lineRuns = runsOfLine(line);
                const LinePart& F = line.front();
                const double lineBottom = _maxBottomYOfLinePartArray(F);
                const double gap = lineBottom - referenceBottom;
                auto N = std::make_unique<QVDocxParagraph>(runsOf(F));
                N->setSectProperty(S);
                N->setXColumnPosition(columnX);
                N->resolveColumnProperty();
                const double h = N->pProperty().spacing.line;
                QVDocxParagraph* L = C.empty() ? nullptr : C.back().get();
                QVDocxParagraph* target = N.get();
                bool keep = false;
                // The table of gaps below decides how a line close to the one
                // before joins it; a line that is neither a script of it nor
                // beside it on its row is a paragraph of its own.
                auto scriptOfNext = [&]() { return joinOf(boxOf(lineRuns), boxOf(baseRuns)); };
                auto previousIsScript = [&]() {
                    const LineBox previous = boxOf(textRunsOf(*L));
                    const LineBox next = boxOf(lineRuns);
                    // The previous paragraph's runs go first: it is never
                    // beside the line after it.
                    const Join j = joinOf(previous, next);
                    return j == Join::Beside ? Join::Own : j;
                };
                auto joinPlainly = [&]() {
                    mergeInto(*L, *N);
                    resolveAgain(*L);
                    target = L;
                    baseRuns.insert(baseRuns.end(), lineRuns.begin(), lineRuns.end());
                };
                if (gap > h) {
                    if (gap - h <= h)
                        setLine(*N, gap);
                    keep = true;
                } else if (gap > h / 2) {
                    if (L)
                        setLine(*N, gap);
                    keep = true;
                } else if (gap > 0) {
                    if (!L) {
                        keep = true;
                    } else if (N->rProperty().sz == L->rProperty().sz) {
                        mergeInto(*L, *N);
                        resolveAgain(*L);
                        referenceBottom = lineBottom;
                        target = L;
                        baseRuns = lineRuns;
                    } else if (N->pProperty().spacing.line > L->pProperty().spacing.line) {
                        const Join j = previousIsScript();
                        if (j == Join::Own) {
                            setLine(*N, gap);
                            keep = true;
                        } else {
                            if (j == Join::Script)
                                L->setRPropertyScrpit(1, N->rProperty().sz);
                            joinPlainly();
                            referenceBottom = lineBottom;
                        }
                    } else if (gap > N->rProperty().sz) {
                        setLine(*N, gap);
                        keep = true;
                    } else {
                        const Join j = scriptOfNext();
                        if (j == Join::Own) {
                            setLine(*N, gap);
                            keep = true;
                        } else {
                            if (j == Join::Script)
                                N->setRPropertyScrpit(2, L->rProperty().sz);
                            mergeInto(*L, *N);
                            target = L;
                            baseRuns.insert(baseRuns.end(), lineRuns.begin(), lineRuns.end());
                        }
                    }
                } else if (gap > -1.0) {
                    if (L) {
                        mergeInto(*L, *N);
                        target = L;
                        baseRuns.insert(baseRuns.end(), lineRuns.begin(), lineRuns.end());
                    } else {
                        keep = true;
                    }
                } else {
                    if (!L) {
                        keep = true;
                    } else if (N->pProperty().spacing.line > L->pProperty().spacing.line) {
                        const Join j = previousIsScript();
                        if (j == Join::Own) {
                            keep = true;
                        } else {
                            if (j == Join::Script)
                                L->setRPropertyScrpit(2, N->rProperty().sz);
                            joinPlainly();
                            referenceBottom = lineBottom;
                        }
                    } else {
                        const Join j = scriptOfNext();
                        if (j == Join::Own) {
                            keep = true;
                        } else {
                            if (j == Join::Script)
                                N->setRPropertyScrpit(1, L->rProperty().sz);
                            mergeInto(*L, *N);
                            target = L;
                            baseRuns.insert(baseRuns.end(), lineRuns.begin(), lineRuns.end());
                        }
                    }
                }
                if (keep) {
                    referenceBottom = lineBottom;
                    baseRuns = lineRuns;
                    C.push_back(std::move(N));
                }

                // The other parts of the line join the target, with a space for a
                // gap wider than a tenth of the font. A part that starts over the
                // end of the one before (a label drawn over a padded field) is a
                // word of its own too: without a space the two would read as one.
                double right = _rightXOfLinePartArray(F);
                // Gaps are filled while the parts stand one after the other;
                // after a part that reaches over the next (text of later cells
                // merged into an earlier one) the line is out of place already,
                // and filling would only make it overflow and wrap.
                bool inOrder = true;
                for (size_t q = 1; q < line.size(); ++q) {
                    const LinePart& Q = line[q];
                    double g = _leftXOfLinePartArray(Q) - right;
                    if (QVDocxRunText* R = target->lastRunText(); R && g < -kOverlapApart)
                        g += dropPadding(*R, -g);
                    inOrder = inOrder && g >= -kOverlapApart;
                    if (QVDocxRunText* R = target->lastRunText()) {
                        const std::u16string& next = Q.front()->runText();
                        const bool apart = !R->runText().empty() && R->runText().back() != u' ' &&
                                           !next.empty() && next.front() != u' ';
                        if (inOrder && g > kTabGapSpaces * spaceOf(*R)) {
                            // A part after a gap wider than a couple of spaces
                            // (a band too wide for its columns, a footer's
                            // right part, a table's next cell) goes to a tab
                            // stop at its place: spaces set in a reader's font
                            // put it wherever that font's space took it.
                            R->runText() += u'\t';
                            R->setTextWidth(R->textWidth() + g);
                            target->addTabStop(_leftXOfLinePartArray(Q) - columnX);
                        } else if (g > R->ctmInfo().fontSize.width / 10.0 ||
                                   (g < -kOverlapApart && apart)) {
                            // One space between words, however wide it is set.
                            R->runText() += u' ';
                            R->setTextWidth(R->textWidth() + std::max(g, 0.0));
                        }
                    }
                    right = _rightXOfLinePartArray(Q);
                    auto& runs = target->runArray();
                    runs.insert(runs.end(), Q.begin(), Q.end());
                }
            }
            if (!C.empty()) {
                // A later column begins with a column break, also when it holds one
                // paragraph: the last section of a page is followed by a page break,
                // and readers balance only sections followed by a continuous break,
                // so without it that section's columns would stack in the first.
                if (j > 0)
                    C.front()->setBreakColumn(true);
                laterColumnStart.resize(P.size() + C.size(), false);
                laterColumnStart[P.size()] = j > 0;
                for (auto& p : C)
                    P.push_back(std::move(p));
            }
        }
    }
    if (P.size() > 1)
        endSection(*P.back());

    // Stage C: blank paragraphs and line heights for the gaps between paragraphs.
    if (P.empty())
        return;
    ParagraphArray out;
    // A line reaching past the foot of the page (a page number set on the
    // edge, its descent below it) stands as much higher as it must to end
    // there: a reader moves a line that does not fit, and with it the rest
    // of the page, onto a page of its own.
    const double foot = sectProperty_.pgSz.h - sectProperty_.pgMar.bottom - kFootSlack;
    auto extentOf = [foot](const LinePart& runs) {
        double top = _minTopYOfLinePartArray(runs);
        double bottom = _maxBottomYOfLinePartArray(runs);
        if (bottom > foot) {
            top -= bottom - foot;
            bottom = foot;
        }
        return std::pair{top, bottom};
    };
    QVDocxParagraph* first = P.front().get();
    const double firstGap = extentOf(textRunsOf(*first)).first - sectProperty_.pgMar.top;
    if (firstGap > 0) {
        for (auto& b : QVDocxParagraph::BankParagraph(
                 firstGap, first->pProperty().spacing.line, first->pProperty().ind.left,
                 first->rProperty(), openSection(first->sectProperty())))
            out.push_back(std::move(b));
    }
    // The first line reaches from the top margin, or from the blank lines
    // that hold the space above it, down to the foot of its text: a line as
    // high as its font would stand its text, and the whole page below it,
    // that much lower (or count the space above twice).
    if (const auto [top, bottom] = extentOf(textRunsOf(*first));
        bottom > sectProperty_.pgMar.top)
        setLine(*first, bottom - std::max(top, static_cast<double>(sectProperty_.pgMar.top)));
    laterColumnStart.resize(P.size(), false);
    QVDocxParagraph* previous = first;
    double previousBottomC = extentOf(textRunsOf(*first)).second;
    // Where the line boxes of the current div begin: the top of its first
    // paragraph's exact line, or the top margin when blank lines stand above
    // it (they are in its column, and a later column starts beside them).
    double divFlowTop = firstGap > 0 ? static_cast<double>(sectProperty_.pgMar.top)
                                     : previousBottomC - first->pProperty().spacing.line;
    out.push_back(std::move(P.front()));
    for (size_t k = 1; k < P.size(); ++k) {
        QVDocxParagraph& p = *P[k];
        const auto [pTop, pBottom] = extentOf(textRunsOf(p));
        if (laterColumnStart[k]) {
            // The column starts where the div's first column does: its first
            // line reaches up to there.
            setLine(p, f32(std::max(pBottom - divFlowTop, pBottom - pTop)));
            previous = &p;
            previousBottomC = pBottom;
            out.push_back(std::move(P[k]));
            continue;
        }
        // A gap up to the line before goes on top of the line after it: an
        // exact line holds its text at its foot and its spare height above,
        // so spare height given to the line before would push that line down.
        const double d = pTop - previousBottomC;
        double above = 0;
        if (d <= previous->pProperty().spacing.line) {
            if (d > 0)
                above = d;
        } else {
            // The blank lines stand in the section of the line above them; when
            // that line ends its section, the last of them ends it instead (as
            // copies of its record, every one of them ended a section).
            auto blanks = QVDocxParagraph::BankParagraph(
                d, previous->pProperty().spacing.line, previous->pProperty().ind.left,
                previous->rProperty(), openSection(previous->sectProperty()));
            if (!blanks.empty() && previous->sectProperty().write) {
                blanks.back()->setSectProperty(previous->sectProperty());
                previous->setSectProperty(openSection(previous->sectProperty()));
            }
            for (auto& b : blanks)
                out.push_back(std::move(b));
        }
        // A line whose glyph box reaches up into the line before (lines set
        // closer than the font's ascent and descent) takes the distance
        // between the two bottoms: its own height would push it, and every
        // line after it, down by the overlap, and a page of such lines
        // spilled onto the next. Not less than a share of its own height, so
        // that a line set over another stays readable.
        const double height = pBottom - pTop;
        if (d < 0)
            setLine(p, f32(std::max(pBottom - previousBottomC, kOverlapLineShare * height)));
        else
            setLine(p, f32(height) + f32(above));
        if (std::find(divStarts.begin(), divStarts.end(), k) != divStarts.end())
            divFlowTop = pBottom - p.pProperty().spacing.line;
        previous = &p;
        previousBottomC = pBottom;
        out.push_back(std::move(P[k]));
    }
    for (auto& p : out)
        paragraphArray_.push_back(std::move(p));
}
