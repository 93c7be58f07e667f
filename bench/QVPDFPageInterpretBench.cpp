// A whole ledger page through the content interpreter with a real document,
// page resources and the standard Helvetica font, as the page frame runs it
// (fresh state stack, the document's font cache). items = text reports.

#include "BenchPages.h"
#include "fixtures/PdfBuilder.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/font/QVPDFFontCache.h"
#include "platform/pdf/PdfContentScanner.h"
#include "platform/pdf/PdfDocument.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Counter : QVPDFConentParserDelegate {
    int64_t texts = 0;
    void didScanText(QVPDFConentParser&, const std::u16string& t, platform::Size) override {
        texts += static_cast<int64_t>(t.size() > 0);
    }
};

void LedgerPage(benchmark::State& state) {
    fixtures::PdfBuilder b;
    fixtures::PageSpec spec;
    spec.resources = "<< /Font << /F1 " + b.addStandardFont() + " >> >>";
    spec.content = benchpages::ledgerContent(static_cast<int>(state.range(0)));
    b.addPage(spec);
    auto doc = platform::PdfDocument::openFromMemory(b.build(), "bench");
    auto page = doc->page(1);
    auto content =
        std::make_shared<platform::PdfContentStream>(page->documentImpl(), page->contentData());
    auto cache = std::make_shared<QVPDFFontCache>();
    int64_t texts = 0;
    for (auto _ : state) {
        Counter counter;
        QVPDFConentParser parser(page->dictionary(), content);
        parser.setDelegate(&counter);
        parser.setRenderingStateStack(std::make_shared<RenderingStateStack>());
        parser.setFontCache(cache);
        parser.startParser();
        texts += counter.texts;
    }
    state.SetItemsProcessed(texts);
}

} // namespace

BENCHMARK(LedgerPage)->Arg(46)->Arg(4600)->Unit(benchmark::kMicrosecond);
