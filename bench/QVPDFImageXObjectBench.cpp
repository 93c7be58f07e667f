// Image extraction budgets:
// - SharedImages: 200 pages sharing one resource dictionary of 50 images, each
//   page painting every image. Budget: 50 extractions for the document (the
//   "extractions" counter), not 10000; the pages then cost a cache look-up
//   per painting.
// - HugeDeclaredImage: an image declaring 100000 x 100000 pixels. Budget:
//   refused before anything is read or allocated, well under a millisecond.
// - FlateBomb: a 4096 x 4096 gray image whose Flate data inflates to
//   256 MiB. Budget: reading stops at the 16 MiB the geometry declares, under
//   a second.

#include "fixtures/PdfBuilder.h"
#include "pdf/QVPDFUtilities.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/xobject/QVPDFImageXObject.h"
#include "platform/image/ImageFileCache.h"
#include "platform/pdf/PdfContentScanner.h"
#include "platform/pdf/PdfDocument.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

struct Counter : QVPDFConentParserDelegate {
    size_t images = 0;
    void didScanXObjectImage(QVPDFConentParser&,
                             const std::shared_ptr<const QVPDFImageXObject>& image) override {
        if (image && image->cachedImagePath())
            ++images;
    }
};

std::string imageDict(const std::string& entries) {
    return "<< /Type /XObject /Subtype /Image " + entries + " >>";
}

void SharedImages(benchmark::State& state) {
    setenv("HOME", fixtures::makeTestFolder("bench-images-home").c_str(), 1);
    fixtures::PdfBuilder b;
    std::string resources = "<< /XObject <<", paint;
    for (int i = 0; i < 50; ++i) {
        std::string pixels(32 * 32 * 3, char(i * 5));
        resources += " /Im" + std::to_string(i) + " " +
                     b.addStream(imageDict("/Width 32 /Height 32 /BitsPerComponent 8 "
                                           "/ColorSpace /DeviceRGB"),
                                 pixels);
        paint += "q 10 0 0 10 0 0 cm /Im" + std::to_string(i) + " Do Q\n";
    }
    resources += " >> >>";
    for (int p = 0; p < 200; ++p) {
        fixtures::PageSpec page;
        page.content = paint;
        b.addPage(page);
    }
    b.setRootResources(resources);
    const std::string bytes = b.build();
    size_t extractions = 0, reports = 0;
    for (auto _ : state) {
        auto doc = platform::PdfDocument::openFromMemory(bytes, "shared images");
        Counter counter;
        for (size_t n = 1; n <= doc->pageCount(); ++n) {
            auto page = doc->page(n);
            QVPDFConentParser parser(page->dictionary(),
                                     std::make_shared<platform::PdfContentStream>(
                                         page->documentImpl(), page->contentData()));
            parser.setDelegate(&counter);
            parser.startParser();
        }
        extractions = platform::ImageFileCache::forDocument(doc->impl())->storedCount();
        reports = counter.images;
    }
    state.counters["extractions"] = double(extractions);
    state.counters["reports"] = double(reports);
}
BENCHMARK(SharedImages)->Unit(benchmark::kMillisecond);

platform::PdfObject firstImage(const platform::PdfDocument& doc) {
    return doc.page(1)
        ->dictionary()
        .getDictionary("Resources")
        ->getDictionary("XObject")
        ->get("Im0");
}

std::string onePage(const std::string& dict, const std::string& data) {
    fixtures::PdfBuilder b;
    b.setPreserveStreams(true);
    fixtures::PageSpec page;
    page.content = "/Im0 Do";
    page.resources = "<< /XObject << /Im0 " + b.addStream(dict, data) + " >> >>";
    b.addPage(page);
    return b.build();
}

void HugeDeclaredImage(benchmark::State& state) {
    const std::string bytes =
        onePage(imageDict("/Width 100000 /Height 100000 /BitsPerComponent 8 /ColorSpace /DeviceRGB "
                          "/Filter /FlateDecode"),
                fixtures::flateEncode(std::string(size_t(1) << 20, '\0')));
    auto doc = platform::PdfDocument::openFromMemory(bytes, "huge");
    platform::PdfObject image = firstImage(*doc);
    for (auto _ : state) {
        auto decoded = QVPDFUtilities::decodePDFImage(image, std::nullopt);
        if (decoded)
            state.SkipWithError("a 100000 x 100000 image was decoded");
    }
}
BENCHMARK(HugeDeclaredImage)->Unit(benchmark::kMicrosecond);

void FlateBomb(benchmark::State& state) {
    const std::string bytes =
        onePage(imageDict("/Width 4096 /Height 4096 /BitsPerComponent 8 /ColorSpace /DeviceGray "
                          "/Filter /FlateDecode"),
                fixtures::flateEncode(std::string(size_t(256) << 20, '\0')));
    auto doc = platform::PdfDocument::openFromMemory(bytes, "bomb");
    platform::PdfObject image = firstImage(*doc);
    for (auto _ : state) {
        auto decoded = QVPDFUtilities::decodePDFImage(image, std::nullopt);
        if (!decoded || decoded->width != 4096)
            state.SkipWithError("the image within its geometry was not decoded");
    }
}
BENCHMARK(FlateBomb)->Unit(benchmark::kMillisecond);

} // namespace
