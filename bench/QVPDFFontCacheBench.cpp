// Pages that share one font dictionary: with the per-document font cache the
// font is parsed once, so the time per page stays flat as the document grows.
// Compare the per-page counter of Cached/20 with Cached/200 (flat) and of
// Uncached (a parse per page).

#include "fixtures/PdfBuilder.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontCache.h"
#include "platform/pdf/PdfDocument.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<platform::PdfDocument> makeDocument(int pages) {
    fixtures::PdfBuilder b;
    std::string font = b.addObject(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding << /Differences "
        "[39 /quoteright 96 /quoteleft] >> >>");
    for (int i = 0; i < pages; ++i) {
        fixtures::PageSpec page;
        page.content = "BT /F1 12 Tf 72 700 Td (It's page " + std::to_string(i) + ") Tj ET";
        page.resources = "<< /Font << /F1 " + font + " >> >>";
        b.addPage(page);
    }
    return platform::PdfDocument::openFromMemory(b.build(), "bench");
}

void decodePage(const QVPDFFontCollection& fonts) {
    auto font = fonts.fontNamed("F1");
    const std::string text = "It's a page of text";
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    int len = static_cast<int>(text.size());
    while (len > 0) {
        uint32_t code = 32, u[16];
        int uLen = 0;
        float dx = 0, dy = 0, ox = 0, oy = 0;
        int n = font->getNextChar(s, len, &code, u, 16, &uLen, &dx, &dy, &ox, &oy);
        benchmark::DoNotOptimize(dx);
        s += n;
        len -= n;
    }
}

void run(benchmark::State& state, bool cached) {
    const int pages = static_cast<int>(state.range(0));
    auto doc = makeDocument(pages);
    for (auto _ : state) {
        QVPDFFontCache cache;
        for (int p = 1; p <= pages; ++p) {
            auto res = doc->page(static_cast<size_t>(p))->dictionary().getDictionary("Resources");
            QVPDFFontCollection fonts(res->getDictionary("Font"), cached ? &cache : nullptr);
            decodePage(fonts);
        }
    }
    state.counters["per_page"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * pages,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Cached(benchmark::State& state) {
    run(state, true);
}
void Uncached(benchmark::State& state) {
    run(state, false);
}

BENCHMARK(Cached)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(Uncached)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace
