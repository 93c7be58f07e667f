// Number recognition of cell texts as tables print them: every text cell of
// every page goes through it, so a page of a few thousand cells must not
// notice it. Texts: the shapes a report prints (grouped, signed, bracketed,
// currency, percentages, space-grouped) and the text cells beside them.

#include "excel/analysis/QVExcelNumber.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::u16string>& cellTexts() {
    static const std::vector<std::u16string> texts = {
        u"1,234,567",  u"(845,210)",   u"+3.2%",       u"\u20131.4%", u"100 000",   u"25.0",
        u"0.80",       u"\u22122 500", u".2%",         u"7%",         u"$1,234.50", u"5 \u20AC",
        u"12",         u"-7.5",        u"40.5%",       u"06/30/2015", u"Revenue",   u"Total",
        u"North East", u"2019 2020",   u"Spain 100 0", u"007",        u"1e3",       u"n/a",
    };
    return texts;
}

void NumberRecognition(benchmark::State& state) {
    const auto& texts = cellTexts();
    size_t numbers = 0;
    for (auto _ : state) {
        for (const auto& text : texts) {
            QVExcelNumber n(text, ",");
            numbers += n.isNumber();
            benchmark::DoNotOptimize(n);
        }
    }
    benchmark::DoNotOptimize(numbers);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(NumberRecognition);

} // namespace
