#pragma once
// Helpers of the image tests: a one-page PDF whose resources hold image
// XObjects, opened again so the test reads the streams as the converter does.

#include "fixtures/PdfBuilder.h"
#include "platform/image/RasterImage.h"
#include "platform/pdf/PdfDocument.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace imagetest {

/// An open document and its page's /XObject dictionary.
struct ImagePdf {
    std::unique_ptr<platform::PdfDocument> document;
    platform::PdfObject xObjects;
    std::string bytes;
    platform::PdfObject image(const std::string& name) const { return xObjects.get(name); }
};

/// One page painting each image of `images` (name, dictionary source built by
/// the callback, which may add objects such as masks) over the page.
inline ImagePdf makeImagePdf(
    const std::vector<std::pair<std::string, std::function<std::string(fixtures::PdfBuilder&)>>>&
        images,
    const std::string& content = {}, bool preserveStreams = true) {
    fixtures::PdfBuilder b;
    b.setPreserveStreams(preserveStreams);
    std::string resources = "<< /XObject <<";
    std::string paint;
    for (const auto& [name, make] : images) {
        resources += " /" + name + " " + make(b);
        paint += "q 100 0 0 100 0 0 cm /" + name + " Do Q\n";
    }
    resources += " >> >>";
    fixtures::PageSpec page;
    page.content = content.empty() ? paint : content;
    page.resources = resources;
    b.addPage(page);
    ImagePdf out;
    out.bytes = b.build();
    out.document = platform::PdfDocument::openFromMemory(out.bytes, "images");
    if (out.document)
        if (auto p = out.document->page(1))
            if (auto res = p->dictionary().getDictionary("Resources"))
                if (auto x = res->getDictionary("XObject"))
                    out.xObjects = *x;
    return out;
}

/// An image stream's dictionary source with its data added as a stream.
inline std::function<std::string(fixtures::PdfBuilder&)> stream(std::string dict,
                                                                std::string data) {
    return [dict, data](fixtures::PdfBuilder& b) { return b.addStream(dict, data); };
}

inline std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(char(v));
    return s;
}

/// Largest difference between two images' bytes; -1 when their size or format differ.
inline int maxDifference(const platform::RasterImage& a, const platform::RasterImage& b) {
    if (a.width != b.width || a.height != b.height || a.format != b.format ||
        a.pixels.size() != b.pixels.size())
        return -1;
    int worst = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        worst = std::max(worst, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
    return worst;
}

inline platform::RasterImage image(int w, int h, platform::RasterImage::Format f,
                                   std::vector<uint8_t> pixels) {
    platform::RasterImage r;
    r.width = w;
    r.height = h;
    r.format = f;
    r.pixels = std::move(pixels);
    return r;
}

} // namespace imagetest
