// Content tokenising alone: the platform scanner over a ledger page with an
// operator table that knows nothing, so every token is read and every
// operand dropped. Time per row must stay flat from /100 to /10000.

#include "BenchPages.h"
#include "platform/pdf/PdfContentScanner.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void Tokenise(benchmark::State& state) {
    auto stream = std::make_shared<platform::PdfContentStream>(
        nullptr, benchpages::ledgerContent(static_cast<int>(state.range(0))));
    platform::PdfOperatorTable table;
    for (auto _ : state) {
        platform::PdfScanner scanner(stream, table, nullptr);
        benchmark::DoNotOptimize(scanner.scan());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * int64_t(stream->data().size()));
}

} // namespace

BENCHMARK(Tokenise)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
