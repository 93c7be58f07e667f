// Laying out and writing one flowing-text page of many runs: a dense page of
// text lines, a page of one run per line (the line grouping must stay near
// linear), and a page whose every run has a colour of its own (the style
// registries must not search every class for every run).
#include "docx/QVDocxUtilities.h"
#include "flow/QVFlowPDFConverter.h"
#include "flow/html/QVHTMLRunText.h"
#include "platform/Files.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

enum class Shape { DenseLines, OneRunPerLine, ColourPerRun };

void layOut(benchmark::State& state, Shape shape) {
    const int runs = int(state.range(0));
    const std::string out =
        platform::systemTempFolder() + "/flow-bench-" + std::to_string(::getpid()) + ".html";
    for (auto _ : state) {
        auto doc = QVFlowPDFConverter::initWithPath(QVFlowFamily::HTML, out, 1);
        doc->begainWriteDocument();
        doc->begainWritePage({612, 792});
        for (int i = 0; i < runs; ++i) {
            auto run = std::make_shared<QVHTMLRunText>();
            QVPDF_CTMInfo info;
            const double x = shape == Shape::OneRunPerLine ? 72 : 72 + (i % 10) * 50;
            const double bottom = shape == Shape::OneRunPerLine ? 20 + i * 1.5 : 20 + (i / 10) * 12;
            info.topLeft = {x, bottom - 10};
            info.bottomLeft = {x, bottom};
            info.yBase = bottom;
            info.fontSize = {10, 10};
            run->setCtmInfo(info);
            QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
            r.sz = 10;
            if (shape == Shape::ColourPerRun)
                r.color = {i % 256, (i / 256) % 256, (i / 65536) % 256, 255};
            run->setRProperty(r);
            run->setRunText(u"word");
            run->setTextWidth(30);
            run->setSpaceWidth(2.5);
            doc->currentPage()->allRunTextArray().push_back(run);
        }
        doc->endWritePage();
        doc->packetDocxFile();
    }
    platform::removeAll(out);
    state.SetItemsProcessed(state.iterations() * runs);
}

} // namespace

BENCHMARK_CAPTURE(layOut, dense_lines, Shape::DenseLines)->Arg(10000)->Arg(100000);
BENCHMARK_CAPTURE(layOut, one_run_per_line, Shape::OneRunPerLine)->Arg(10000)->Arg(100000);
BENCHMARK_CAPTURE(layOut, colour_per_run, Shape::ColourPerRun)->Arg(10000)->Arg(100000);
