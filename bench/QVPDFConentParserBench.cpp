// Interpreter throughput on long pages: the time per operator must stay flat
// as the page grows (compare the per-item times of /10000 and /1000000).
// - SaveRestore: q/Q pairs with text shown through a shared font, so each
//   save copies a pointer, not the font.
// - PathOperators: one long path of line segments, painted once.
// - ClipsInSaves: q re W n Q, each clip recorded and dropped with its state.

#include "pdf/content/QVPDFConentParser.h"
#include "pdf/font/QVPDFFont.h"
#include "platform/pdf/PdfContentScanner.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

class OneByteFont : public QVPDFFont {
public:
    int getNextChar(const unsigned char* s, int, uint32_t* code, uint32_t* u, int, int* uLen,
                    float* dx, float*, float*, float*) const override {
        *code = s[0];
        u[0] = s[0];
        *uLen = 1;
        *dx = 0.5f;
        return 1;
    }
};

struct Counter : QVPDFConentParserDelegate {
    size_t reports = 0;
    void didScanText(QVPDFConentParser&, const std::u16string&, platform::Size) override {
        ++reports;
    }
    void didScanPath(QVPDFConentParser&, const platform::Path&, bool, bool) override { ++reports; }
};

void runContent(benchmark::State& state, const std::string& content) {
    auto font = std::make_shared<OneByteFont>();
    auto stream = std::make_shared<platform::PdfContentStream>(nullptr, content);
    for (auto _ : state) {
        auto stack = std::make_shared<RenderingStateStack>();
        stack->topRenderingState()->setFont(font);
        stack->topRenderingState()->setFontSize(12);
        Counter counter;
        QVPDFConentParser parser(platform::PdfObject(), stream);
        parser.setDelegate(&counter);
        parser.setRenderingStateStack(stack);
        parser.startParser();
        benchmark::DoNotOptimize(counter.reports);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

std::string repeat(const std::string& piece, int64_t n) {
    std::string out;
    out.reserve(piece.size() * static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i)
        out += piece;
    return out;
}

void SaveRestore(benchmark::State& state) {
    runContent(state, "BT " + repeat("q 1 0 0 1 1 1 cm (a) Tj Q ", state.range(0)) + "ET");
}

void PathOperators(benchmark::State& state) {
    runContent(state, "0 0 m " + repeat("1 2 l ", state.range(0)) + "S");
}

void ClipsInSaves(benchmark::State& state) {
    runContent(state, "0 0 9 9 re W n " + repeat("q 0 0 5 5 re W n Q ", state.range(0)));
}

} // namespace

BENCHMARK(SaveRestore)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(PathOperators)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ClipsInSaves)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
