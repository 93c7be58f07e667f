#pragma once
// Test support: runs a content stream through the interpreter on a page built
// with the fixture builder and records every report as one line of text, and
// a test-only font (one byte per character, fixed widths) for text showing.

#include "fixtures/PdfBuilder.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/font/QVPDFFont.h"
#include "platform/NumberFormat.h"
#include "platform/pdf/PdfContentScanner.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/text/Utf.h"

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace harness {

inline std::string num(double v) {
    double r = std::round(v * 1e6) / 1e6;
    return platform::formatShortest(r == 0 ? 0.0 : r);
}

inline std::string matrix(const platform::AffineTransform& t) {
    return "[" + num(t.a) + " " + num(t.b) + " " + num(t.c) + " " + num(t.d) + " " + num(t.tx) +
           " " + num(t.ty) + "]";
}

inline std::string pathText(const platform::Path& path) {
    std::string out;
    for (const platform::PathElement& e : path.elements()) {
        if (!out.empty())
            out += " ";
        static const char* kLetters = "MLQCZ";
        out += kLetters[static_cast<int>(e.type)];
        for (int i = 0; i < platform::pointCountOf(e.type); ++i)
            out += (i ? ";" : "") + num(e.points[i].x) + "," + num(e.points[i].y);
    }
    return out;
}

inline std::string utf8(const std::u16string& s) { return platform::utf16ToUTF8(s); }

/// One byte per character. Unicode is the byte itself, except: 0x01 decodes
/// to U+002D U+00AD U+2010, 0x02 to the pair of U+1F600, 0x03 to nothing,
/// 0x04 to a tab, 0x05 to U+00A0. Widths per byte, 0.5 by default.
class TestFont : public QVPDFFont {
public:
    explicit TestFont(std::map<unsigned char, float> widths = {}) : widths_(std::move(widths)) {
        objectKey_ = "TF";
        fontName_ = "TestFont";
    }
    int getNextChar(const unsigned char* s, int, uint32_t* code, uint32_t* u, int uSize, int* uLen,
                    float* dx, float*, float*, float*) const override {
        *code = s[0];
        auto put = [&](std::initializer_list<uint32_t> units) {
            int n = 0;
            for (uint32_t unit : units)
                if (n < uSize)
                    u[n++] = unit;
            *uLen = n;
        };
        switch (s[0]) {
        case 0x01:
            put({0x2D, 0xAD, 0x2010});
            break;
        case 0x02:
            put({0xD83D, 0xDE00});
            break;
        case 0x03:
            *uLen = 0;
            break;
        case 0x04:
            put({0x09});
            break;
        case 0x05:
            put({0xA0});
            break;
        default:
            put({s[0]});
        }
        auto it = widths_.find(s[0]);
        *dx = it == widths_.end() ? 0.5f : it->second;
        return 1;
    }

private:
    std::map<unsigned char, float> widths_;
};

/// Records each report with the state it was made in.
class Recorder : public QVPDFConentParserDelegate {
public:
    std::vector<std::string> events;
    /// Called on every report, for checks of the state during the report.
    std::function<void(QVPDFConentParser&)> onReport;

    void didScanText(QVPDFConentParser& p, const std::u16string& text,
                     platform::Size advance) override {
        const QVPDFRenderState* st = p.currentRenderingState();
        events.push_back("text " + utf8(text) + " adv " + num(advance.width) + "," +
                         num(advance.height) + " tm " + matrix(st->textMatrix()) + " ctm " +
                         matrix(st->ctm()));
        if (onReport)
            onReport(p);
    }
    void didScanPath(QVPDFConentParser& p, const platform::Path& path, bool stroke,
                     bool fill) override {
        events.push_back(std::string("path ") + (stroke ? "S" : "") + (fill ? "F" : "") + " " +
                         pathText(path) + " ctm " + matrix(p.currentRenderingState()->ctm()));
        if (onReport)
            onReport(p);
    }
    void didScanXObjectImage(QVPDFConentParser&,
                             const std::shared_ptr<const QVPDFImageXObject>& image) override {
        events.push_back(image ? "image" : "image none");
    }
};

struct Result {
    std::vector<std::string> events;
    std::shared_ptr<RenderingStateStack> stack;
    const QVPDFRenderState& top() const { return *stack->topRenderingState(); }
};

/// Runs `content` as page 1 of a fresh document. `prepare` may add objects to
/// the builder and returns the page's /Resources source; `setUp` may change
/// the page's first state before the run.
inline Result run(const std::string& content,
                  const std::function<std::string(fixtures::PdfBuilder&)>& prepare = nullptr,
                  const std::function<void(QVPDFRenderState&)>& setUp = nullptr,
                  Recorder* recorder = nullptr) {
    fixtures::PdfBuilder builder;
    fixtures::PageSpec spec;
    spec.content = content;
    if (prepare)
        spec.resources = prepare(builder);
    builder.addPage(spec);
    auto doc = platform::PdfDocument::openFromMemory(builder.build(), "test");
    auto page = doc->page(1);
    auto stack = std::make_shared<RenderingStateStack>();
    if (setUp)
        setUp(*stack->topRenderingState());
    Recorder own;
    Recorder& rec = recorder ? *recorder : own;
    QVPDFConentParser parser(page->dictionary(), std::make_shared<platform::PdfContentStream>(
                                                     page->documentImpl(), page->contentData()));
    parser.setDelegate(&rec);
    parser.setRenderingStateStack(stack);
    parser.startParser();
    return {rec.events, stack};
}

} // namespace harness
