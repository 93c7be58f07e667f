// Font decoding: getNextChar over a line of text, per character, for the
// fonts reports are made of: a standard font with WinAnsiEncoding, and a
// subset font whose codes reach Unicode through a ToUnicode map.

#include "fixtures/PdfBuilder.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/font/QVPDFFontCache.h"
#include "platform/pdf/PdfDocument.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

struct Loaded {
    std::unique_ptr<platform::PdfDocument> doc;
    std::shared_ptr<const QVPDFFont> font;
};

Loaded load(const std::string& fontSource, const std::string& toUnicode = "") {
    fixtures::PdfBuilder b;
    std::string source = fontSource;
    if (!toUnicode.empty())
        source.insert(source.size() - 2, " /ToUnicode " + b.addStream("<< >>", toUnicode));
    fixtures::PageSpec spec;
    spec.resources = "<< /Font << /F1 " + b.addObject(source) + " >> >>";
    b.addPage(spec);
    Loaded l;
    l.doc = platform::PdfDocument::openFromMemory(b.build(), "bench");
    auto res = l.doc->page(1)->dictionary().getDictionary("Resources");
    QVPDFFontCollection fonts(res->getDictionary("Font"), nullptr);
    l.font = fonts.fontNamed("F1");
    return l;
}

void decode(benchmark::State& state, const QVPDFFont& font, const std::string& text) {
    for (auto _ : state) {
        const auto* s = reinterpret_cast<const unsigned char*>(text.data());
        int len = static_cast<int>(text.size());
        while (len > 0) {
            uint32_t code = 0, u[16];
            int uLen = 0;
            float dx = 0, dy = 0, ox = 0, oy = 0;
            int n = font.getNextChar(s, len, &code, u, 16, &uLen, &dx, &dy, &ox, &oy);
            benchmark::DoNotOptimize(u[0]);
            if (n <= 0)
                break;
            s += n;
            len -= n;
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
}

std::string widths(int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += std::to_string(400 + i * 3) + " ";
    return out;
}

const std::string kLine = "Consulting travel refund 12,345.67 INV-100042 03/03/2023 Balance";

void StandardWinAnsi(benchmark::State& state) {
    Loaded l = load("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding "
                    "/WinAnsiEncoding >>");
    decode(state, *l.font, kLine);
}

void SubsetWithToUnicode(benchmark::State& state) {
    // Codes numbered from 1 in order of first use, as subsetting writers do.
    std::string cmap = "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                       "1 begincodespacerange <00> <FF> endcodespacerange\n"
                       "1 beginbfrange <01> <5F> <0020> endbfrange\n"
                       "endcmap CMapName currentdict /CMap defineresource pop end end";
    Loaded l = load("<< /Type /Font /Subtype /TrueType /BaseFont /AAAAAA+DejaVuSans "
                    "/FirstChar 1 /LastChar 95 /Widths [" +
                        widths(95) + "] >>",
                    cmap);
    std::string coded;
    for (char c : kLine)
        coded.push_back(static_cast<char>(c - 31));
    decode(state, *l.font, coded);
}

} // namespace

BENCHMARK(StandardWinAnsi)->Unit(benchmark::kNanosecond);
BENCHMARK(SubsetWithToUnicode)->Unit(benchmark::kNanosecond);
