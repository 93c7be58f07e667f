// The spreadsheet table analysis (typesetRunTexts) and sheet layout on pages
// of R rows of 7 runs, placed as a ledger's cells are: the time per run must
// not grow with the page (compare /46 with /1500; Complexity reports the fit).
// Hostile pages put tens of thousands of runs on one page.

#include "excel/QVExcelManager.h"
#include "excel/QVExcelPage.h"
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

void run(benchmark::State& state, bool layOut) {
    const int rows = static_cast<int>(state.range(0));
    const std::string folder = fixtures::makeTestFolder("bench-typeset") + "/csv";
    QVExcelManager::sharedInstance();
    for (auto _ : state) {
        state.PauseTiming();
        QVExcelPage page(1, folder);
        page.allRunTextArray() = ledgerRuns(rows);
        state.ResumeTiming();
        if (layOut)
            page.creatSheet();
        else
            page.typesetRunTexts();
        benchmark::DoNotOptimize(page.allRunTextArray().data());
    }
    QVExcelManager::destory();
    state.SetItemsProcessed(state.iterations() * rows * 7);
    state.SetComplexityN(rows * 7);
}

void TypesetRunTexts(benchmark::State& state) {
    run(state, false);
}
void CreateSheet(benchmark::State& state) {
    run(state, true);
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
