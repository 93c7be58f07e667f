#include "cli/TraceCommand.h"

#include "app/QVPageRange.h"
#include "converter/QVPDFImageCapture.h"
#include "converter/QVPDFPageExporter.h"
#include "pdf/QVPDFPathUtilities.h"
#include "pdf/xobject/QVPDFImageXObject.h"
#include "pdf/QVPDFPageGeometry.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/font/QVPDFFont.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/text/Utf.h"

#include <cmath>
#include <iostream>
#include <map>

namespace {

std::string number(double v) {
    if (!std::isfinite(v))
        return "null";
    double r = std::round(v * 1000) / 1000;
    return platform::formatShortest(r == 0 ? 0.0 : r);
}

void appendCodePoint(std::string& out, uint32_t cp) {
    if (cp < 0x20) {
        static const char* kHex = "0123456789abcdef";
        out += "\\u00";
        out += kHex[cp >> 4];
        out += kHex[cp & 15];
    } else if (cp == '"' || cp == '\\') {
        out += '\\';
        out += static_cast<char>(cp);
    } else {
        platform::appendUTF8(out, cp);
    }
}

std::string jsonString(const std::u16string& s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendCodePoint(out, cp);
    }
    return out + "\"";
}

// Bytes taken as UTF-8 where they are, each other byte as U+FFFD.
std::string jsonString(const std::string& bytes) {
    std::string out = "\"";
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size(), i = 0;
    while (i < n) {
        unsigned char c = p[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        uint32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        bool ok = len > 0 && i + static_cast<size_t>(len) <= n;
        for (int k = 1; ok && k < len; ++k) {
            ok = (p[i + static_cast<size_t>(k)] >> 6) == 2;
            cp = (cp << 6) | (p[i + static_cast<size_t>(k)] & 0x3F);
        }
        ok = ok && !(cp >= 0xD800 && cp <= 0xDFFF) && cp <= 0x10FFFF && !(len == 2 && cp < 0x80) &&
             !(len == 3 && cp < 0x800) && !(len == 4 && cp < 0x10000);
        appendCodePoint(out, ok ? cp : 0xFFFD);
        i += ok ? static_cast<size_t>(len) : 1;
    }
    return out + "\"";
}

std::string hexColor(const QVPDFRGB& c) {
    static const char* kHex = "0123456789abcdef";
    std::string out = "\"";
    for (int32_t v : {c.r, c.g, c.b}) {
        out += kHex[(v >> 4) & 15];
        out += kHex[v & 15];
    }
    return out + "\"";
}

class TraceExporter : public QVPDFPageExporter {
public:
    explicit TraceExporter(std::ostream& out) : out_(out) {}
    int64_t pageNumber = 0;

    void didScanText(QVPDFConentParser& parser, const std::u16string& text,
                     platform::Size advance) override {
        const QVPDFRenderState& st = *parser.currentRenderingState();
        const QVPDFFont* font = st.font().get();
        double ascent = font ? font->ascent() : 0.95, descent = font ? font->descent() : -0.35;
        platform::AffineTransform base = st.ctm().concat(currentPageTransform());
        platform::AffineTransform t = st.textMatrix().concat(base);
        QVPDF_CTMInfo info = QVPDF_CTMInfoMake(st.fontSize(), ascent, descent, t);
        platform::Point start = t.apply({0, 0});
        platform::Point end =
            st.textMatrix().translate(advance.width, advance.height).concat(base).apply({0, 0});
        std::string fontName = "null";
        if (font && font->fontName())
            fontName = jsonString(*font->fontName());
        out_ << "{\"page\":" << pageNumber << ",\"op\":\"text\",\"text\":" << jsonString(text)
             << ",\"x\":" << number(start.x) << ",\"y\":" << number(start.y)
             << ",\"width\":" << number(std::hypot(end.x - start.x, end.y - start.y))
             << ",\"rotation\":" << number(info.rotation) << ",\"top\":" << number(info.yAscent)
             << ",\"bottom\":" << number(info.yDescent) << ",\"size\":" << number(st.fontSize())
             << ",\"em\":[" << number(info.fontSize.width) << "," << number(info.fontSize.height)
             << "],\"font\":" << fontName << ",\"fill\":" << hexColor(st.currentFillRGBColor())
             << ",\"alpha\":" << number(st.currentFillAlpha()) << "}\n";
    }

    void didScanPath(QVPDFConentParser& parser, const platform::Path& path, bool stroke,
                     bool fill) override {
        const QVPDFRenderState& st = *parser.currentRenderingState();
        platform::Rect box =
            path.transformed(st.ctm().concat(currentPageTransform())).boundingBox();
        std::string dash = "null";
        if (st.lineDashPattern()) {
            dash = "[";
            for (double d : *st.lineDashPattern())
                dash += (dash.size() > 1 ? "," : "") + number(d);
            dash += "]";
        }
        out_ << "{\"page\":" << pageNumber
             << ",\"op\":\"path\",\"stroke\":" << (stroke ? "true" : "false")
             << ",\"fill\":" << (fill ? "true" : "false") << ",\"bbox\":[" << number(box.minX())
             << "," << number(box.minY()) << "," << number(box.maxX()) << "," << number(box.maxY())
             << "],\"evenodd\":" << (st.usesEvenOddFillRule() ? "true" : "false")
             << ",\"lineWidth\":" << number(st.lineWidth())
             << ",\"strokeColor\":" << hexColor(st.currentStrokeRGBColor())
             << ",\"fillColor\":" << hexColor(st.currentFillRGBColor())
             << ",\"strokeAlpha\":" << number(st.currentStrokeAlpha())
             << ",\"fillAlpha\":" << number(st.currentFillAlpha()) << ",\"dash\":" << dash
             << ",\"clips\":" << st.clipBezierPaths().size() << "}\n";
    }

    // The interpreter's image files go with the document, so each is copied
    // into a folder of the trace's own, which stays for a person to look at.
    void didScanXObjectImage(QVPDFConentParser& parser,
                             const std::shared_ptr<const QVPDFImageXObject>& image) override {
        const QVPDFRenderState& st = *parser.currentRenderingState();
        std::string file = "null";
        if (image && image->cachedImagePath())
            if (auto kept = keep(*image->cachedImagePath()))
                file = jsonString(*kept);
        const auto placed = QVPDFImageCapture::placementWithTransform(
            st.ctm().concat(currentPageTransform()), static_cast<float>(st.currentOpacity()));
        const platform::Rect box = placed.coveredRect();
        out_ << "{\"page\":" << pageNumber << ",\"op\":\"image\",\"file\":" << file
             << ",\"bbox\":[" << number(box.minX()) << "," << number(box.minY()) << ","
             << number(box.maxX()) << "," << number(box.maxY())
             << "],\"rotation\":" << number(placed.rotation)
             << ",\"mirrored\":" << (placed.flipY ? "true" : "false")
             << ",\"alpha\":" << number(placed.opacity)
             << ",\"clips\":" << st.clipBezierPaths().size() << "}\n";
    }

private:
    std::optional<std::string> keep(const std::string& source) {
        if (auto known = kept_.find(source); known != kept_.end())
            return known->second;
        std::optional<std::string> copy;
        if (!folder_)
            folder_ = QVPDFPathUtilities::getNewFolderPathby(
                platform::appendPathComponent(platform::systemTempFolder(), "corvala-trace"), "-");
        if (folder_)
            if (auto bytes = platform::readFile(source)) {
                const std::string to =
                    platform::appendPathComponent(*folder_, platform::lastPathComponent(source));
                if (platform::writeFileAtomically(to, *bytes))
                    copy = to;
            }
        kept_[source] = copy;
        return copy;
    }

    std::ostream& out_;
    std::optional<std::string> folder_;
    std::map<std::string, std::optional<std::string>> kept_;
};

constexpr const char* kUsage = "usage: corvala trace FILE.pdf [-p PAGES]\n";
constexpr const char* kHelp =
    "usage: corvala trace FILE.pdf [-p PAGES]\n"
    "\n"
    "Runs the content interpreter over the pages (all, or the range -p names, as for\n"
    "convert) and prints every report as one JSON object per line: \"op\" is \"text\"\n"
    "(decoded text with its position, size, font and colour), \"path\" (painted\n"
    "paths with their box and colours), \"image\" (the extracted image file) or\n"
    "\"error\" (a page that failed). Coordinates are points from the page's top-left\n"
    "corner as shown, y down.\n"
    "\n"
    "  -p PAGES    pages to trace, e.g. 1-3,5\n"
    "  -h, --help  this text\n"
    "\n"
    "exit status: 0 all pages traced, 1 a page failed or the file cannot be read,\n"
    "2 usage error.\n";

} // namespace

int corvalaTrace(const std::vector<std::string>& args) {
    return corvalaTrace(args, std::cout, std::cerr);
}

int corvalaTrace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string file, pages;
    bool hasPages = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-h" || args[i] == "--help") {
            out << kHelp;
            return 0;
        }
        if (args[i] == "-p" && i + 1 < args.size()) {
            pages = args[++i];
            hasPages = true;
        } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
            file = args[i];
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (file.empty()) {
        err << kUsage;
        return 2;
    }
    auto doc = platform::PdfDocument::open(file);
    if (!doc || !doc->isUnlocked()) {
        err << "corvala trace: cannot read " << file << "\n";
        return 1;
    }
    const auto count = static_cast<int64_t>(doc->pageCount());
    std::vector<int64_t> numbers = hasPages ? QVPageRange::pagesFromText(pages, count)
                                                : QVPageRange::allPages(count);
    TraceExporter exporter(out);
    int status = 0;
    for (int64_t n : numbers) {
        exporter.pageNumber = n;
        auto page = doc->page(static_cast<size_t>(n));
        std::string failure;
        try {
            if (!page || !exporter.convertPDFPage(page.get()))
                failure = "page cannot be read";
        } catch (const std::exception& e) {
            failure = e.what();
        }
        if (!failure.empty()) {
            out << "{\"page\":" << n << ",\"op\":\"error\",\"message\":" << jsonString(failure)
                << "}\n";
            status = 1;
        }
    }
    out.flush();
    return status;
}
