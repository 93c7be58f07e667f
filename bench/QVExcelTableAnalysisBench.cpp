// The spreadsheet table analysis (typesetRunTexts) and sheet layout on pages
// of R rows of 7 runs, placed as a ledger's cells are: the time per run must
// not grow with the page (compare /46 with /1500; Complexity reports the fit).
// Hostile pages: the same word printed again and again on one spot
// (Overprint), and runs each in a row and column of its own whose boxes
// reach over the whole page (Diagonal).

#include "excel/QVExcelManager.h"
#include "excel/sheet/QVExcelPage.h"
#include "fixtures/PdfBuilder.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::shared_ptr<QVExcelRunText>> ledgerRuns(int rows) {
    static const double kLeft[] = {36, 92, 160, 350, 420, 480, 525};
    static const double kWidth[] = {40, 44, 120, 30, 40, 36, 6};
    std::vector<std::shared_ptr<QVExcelRunText>> runs;
    for (int r = 0; r < rows; ++r) {
        const double base = 40 + r * 16.0;
        for (int c = 0; c < 7; ++c) {
            auto run = std::make_shared<QVExcelRunText>();
            std::string t = c == 2 ? "Consulting travel" : std::to_string(r * 7 + c) + ".50";
            run->setText(std::u16string(t.begin(), t.end()));
            QVPDF_CTMInfo g;
            g.xLeft = kLeft[c];
            g.xRight = kLeft[c] + kWidth[c];
            g.yTop = base - 8;
            g.yAscent = base - 6;
            g.yBase = base;
            g.yDescent = base + 2;
            g.yBottom = base + 2;
            run->setCtmInfo(g);
            run->setTextWidth(kWidth[c]);
            run->rPr().setSz(8);
            runs.push_back(run);
        }
    }
    return runs;
}

std::shared_ptr<QVExcelRunText> box(double left, double right, double top, double bottom) {
    auto run = std::make_shared<QVExcelRunText>();
    run->setText(u"word");
    QVPDF_CTMInfo g;
    g.xLeft = left;
    g.xRight = right;
    g.yTop = top;
    g.yAscent = top;
    g.yBase = bottom - 2;
    g.yDescent = bottom;
    g.yBottom = bottom;
    run->setCtmInfo(g);
    run->setTextWidth(right - left);
    run->rPr().setSz(10);
    return run;
}

std::vector<std::shared_ptr<QVExcelRunText>> overprintRuns(int n) {
    std::vector<std::shared_ptr<QVExcelRunText>> runs;
    for (int i = 0; i < n; ++i)
        runs.push_back(box(100, 130, 100, 112));
    return runs;
}

std::vector<std::shared_ptr<QVExcelRunText>> diagonalRuns(int n) {
    std::vector<std::shared_ptr<QVExcelRunText>> runs;
    for (int i = 0; i < n; ++i)
        runs.push_back(box(i * 3.0, 1e4, i * 3.0, i * 3.0 + 2.5 + (i % 2 ? 1e4 : 0)));
    return runs;
}

using Maker = std::vector<std::shared_ptr<QVExcelRunText>> (*)(int);

void run(benchmark::State& state, bool layOut, Maker make = ledgerRuns, int perRow = 7) {
    const int rows = static_cast<int>(state.range(0));
    const std::string folder = fixtures::makeTestFolder("bench-typeset") + "/csv";
    QVExcelManager::sharedInstance();
    for (auto _ : state) {
        state.PauseTiming();
        QVExcelPage page(1, folder);
        page.allRunTextArray() = make(rows);
        state.ResumeTiming();
        if (layOut)
            page.creatSheet();
        else
            page.typesetRunTexts();
        benchmark::DoNotOptimize(page.allRunTextArray().data());
    }
    QVExcelManager::destory();
    state.SetItemsProcessed(state.iterations() * rows * perRow);
    state.SetComplexityN(rows * perRow);
}

void TypesetRunTexts(benchmark::State& state) {
    run(state, false);
}
void CreateSheet(benchmark::State& state) {
    run(state, true);
}
void Overprint(benchmark::State& state) {
    run(state, true, overprintRuns, 1);
}
void Diagonal(benchmark::State& state) {
    run(state, true, diagonalRuns, 1);
}

} // namespace

BENCHMARK(TypesetRunTexts)
    ->Arg(46)
    ->Arg(400)
    ->Arg(1500)
    ->Arg(6000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CreateSheet)->Arg(46)->Arg(400)->Arg(1500)->Complexity()->Unit(benchmark::kMillisecond);
BENCHMARK(Overprint)->Arg(1000)->Arg(4000)->Arg(16000)->Complexity()->Unit(benchmark::kMillisecond);
BENCHMARK(Diagonal)->Arg(1000)->Arg(4000)->Complexity()->Unit(benchmark::kMillisecond);
