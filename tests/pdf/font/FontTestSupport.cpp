#include "pdf/font/FontTestSupport.h"

#include "pdf/font/QVPDFFontUtilities.h"
#include "platform/Files.h"
#include "platform/Geometry.h"
#include "platform/NumberFormat.h"
#include "platform/pdf/PdfContentScanner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace fonttest {

LoadedFont loadFont(const std::function<std::string(fixtures::PdfBuilder&)>& makeFont) {
    fixtures::PdfBuilder b;
    std::string ref = makeFont(b);
    fixtures::PageSpec page;
    page.content = "BT ET";
    page.resources = "<< /Font << /F1 " + ref + " >> >>";
    b.addPage(page);
    LoadedFont out;
    out.doc = platform::PdfDocument::openFromMemory(b.build(), "font test");
    if (!out.doc)
        throw std::runtime_error("fixture PDF does not open");
    auto p = out.doc->page(1);
    out.dict = p->dictionary().get("Resources").get("Font").get("F1");
    out.font = QVPDFFont::fontWithDictionary(out.dict, "F1");
    return out;
}

LoadedFont loadFontSource(const std::string& fontSource) {
    return loadFont([&](fixtures::PdfBuilder& b) { return b.addObject(fontSource); });
}

std::vector<DecodedChar> decodeAll(const QVPDFFont& font, const std::string& bytes) {
    std::vector<DecodedChar> out;
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    int len = static_cast<int>(bytes.size());
    while (len > 0) {
        uint32_t code = 32, u[16];
        std::fill(std::begin(u), std::end(u), 32u);
        int uLen = 0;
        float dx = 0, dy = 0, ox = 0, oy = 0;
        int n = font.getNextChar(s, len, &code, u, 16, &uLen, &dx, &dy, &ox, &oy);
        if (n < 1 || n > len)
            throw std::runtime_error("getNextChar consumed a bad count");
        DecodedChar c{code, {}, dx, n, dy};
        for (int i = 0; i < uLen; ++i)
            c.text += static_cast<char16_t>(u[i]);
        out.push_back(std::move(c));
        s += n;
        len -= n;
    }
    return out;
}

std::u16string decodeText(const QVPDFFont& font, const std::string& bytes) {
    std::u16string text;
    for (const auto& c : decodeAll(font, bytes))
        text += c.text;
    return text;
}

std::string utf8(const std::u16string& text) {
    return QVPDFFontUtilities::utf16ToUtf8(text);
}

namespace {

struct Walker {
    Walker(QVPDFFontCollection f, double height) : fonts(std::move(f)), pageHeight(height) {}
    QVPDFFontCollection fonts;
    double pageHeight;
    struct Gs {
        platform::AffineTransform ctm;
        std::shared_ptr<const QVPDFFont> font;
        double size = 0, tc = 0, tw = 0, th = 1, tl = 0;
    };
    std::vector<Gs> stack{Gs{}};
    platform::AffineTransform tm, tlm;
    std::vector<PlacedChar> out;

    Gs& gs() { return stack.back(); }

    platform::Point toDisplay(double tx, double ty) {
        platform::Point p =
            platform::AffineTransform::makeTranslation(tx, ty).concat(tm).concat(gs().ctm).apply(
                {0, 0});
        return {p.x, pageHeight - p.y};
    }

    void show(const std::string& bytes) {
        Gs& g = gs();
        if (!g.font)
            return;
        const bool vertical = g.font->wMode() != 0;
        for (const auto& c : decodeAll(*g.font, bytes)) {
            if (vertical) {
                // Spacing lengthens the vertical advance; the scaling does not apply.
                double glyph = c.dy * g.size;
                double h = glyph + g.tc + (c.text == u" " ? g.tw : 0);
                platform::Point a = toDisplay(0, 0), e = toDisplay(0, glyph);
                out.push_back({c.text, a.x, a.y, e.x, e.y, g.size});
                tm = platform::AffineTransform::makeTranslation(0, h).concat(tm);
                continue;
            }
            double glyph = c.dx * g.size * g.th;
            double w = (c.dx * g.size + g.tc + (c.code == 32 && c.consumed == 1 ? g.tw : 0)) * g.th;
            platform::Point a = toDisplay(0, 0), e = toDisplay(glyph, 0);
            out.push_back({c.text, a.x, a.y, e.x, e.y, g.size});
            tm = platform::AffineTransform::makeTranslation(w, 0).concat(tm);
        }
    }
    void newLine(double tx, double ty) {
        tlm = platform::AffineTransform::makeTranslation(tx, ty).concat(tlm);
        tm = tlm;
    }
};

Walker* W(platform::PdfScanner& s) {
    return static_cast<Walker*>(s.info());
}

bool popNumbers(platform::PdfScanner& s, double* v, int n) {
    for (int i = n - 1; i >= 0; --i)
        if (!s.popNumber(v[i]))
            return false;
    return true;
}

} // namespace

std::vector<PlacedChar> placeText(const platform::PdfDocument& doc, size_t pageNumber,
                                  QVPDFFontCache* cache) {
    auto page = doc.page(pageNumber);
    if (!page)
        return {};
    auto res = page->dictionary().getDictionary("Resources");
    std::optional<platform::PdfObject> fontDict;
    if (res)
        fontDict = res->getDictionary("Font");
    Walker w(QVPDFFontCollection(fontDict, cache), page->mediaBox()->size.height);

    platform::PdfOperatorTable t;
    t.setCallback("q", [](platform::PdfScanner& s, void*) { W(s)->stack.push_back(W(s)->gs()); });
    t.setCallback("Q", [](platform::PdfScanner& s, void*) {
        if (W(s)->stack.size() > 1)
            W(s)->stack.pop_back();
    });
    t.setCallback("cm", [](platform::PdfScanner& s, void*) {
        double v[6];
        if (popNumbers(s, v, 6))
            W(s)->gs().ctm = platform::AffineTransform{v[0], v[1], v[2], v[3], v[4], v[5]}.concat(
                W(s)->gs().ctm);
    });
    t.setCallback("BT", [](platform::PdfScanner& s, void*) { W(s)->tm = W(s)->tlm = {}; });
    t.setCallback("Tf", [](platform::PdfScanner& s, void*) {
        double size;
        std::string name;
        if (s.popNumber(size) && s.popName(name)) {
            W(s)->gs().font = W(s)->fonts.fontNamed(name);
            W(s)->gs().size = size;
        }
    });
    t.setCallback("Tm", [](platform::PdfScanner& s, void*) {
        double v[6];
        if (popNumbers(s, v, 6))
            W(s)->tm = W(s)->tlm = {v[0], v[1], v[2], v[3], v[4], v[5]};
    });
    t.setCallback("Td", [](platform::PdfScanner& s, void*) {
        double v[2];
        if (popNumbers(s, v, 2))
            W(s)->newLine(v[0], v[1]);
    });
    t.setCallback("TD", [](platform::PdfScanner& s, void*) {
        double v[2];
        if (popNumbers(s, v, 2)) {
            W(s)->gs().tl = -v[1];
            W(s)->newLine(v[0], v[1]);
        }
    });
    t.setCallback("T*", [](platform::PdfScanner& s, void*) { W(s)->newLine(0, -W(s)->gs().tl); });
    t.setCallback("TL", [](platform::PdfScanner& s, void*) { s.popNumber(W(s)->gs().tl); });
    t.setCallback("Tc", [](platform::PdfScanner& s, void*) { s.popNumber(W(s)->gs().tc); });
    t.setCallback("Tw", [](platform::PdfScanner& s, void*) { s.popNumber(W(s)->gs().tw); });
    t.setCallback("Tz", [](platform::PdfScanner& s, void*) {
        double v;
        if (s.popNumber(v))
            W(s)->gs().th = v / 100;
    });
    t.setCallback("Tj", [](platform::PdfScanner& s, void*) {
        std::string str;
        if (s.popString(str))
            W(s)->show(str);
    });
    t.setCallback("'", [](platform::PdfScanner& s, void*) {
        std::string str;
        W(s)->newLine(0, -W(s)->gs().tl);
        if (s.popString(str))
            W(s)->show(str);
    });
    t.setCallback("TJ", [](platform::PdfScanner& s, void*) {
        platform::PdfObject a;
        if (!s.popArray(a))
            return;
        Walker* w = W(s);
        for (size_t i = 0; i < a.arraySize(); ++i) {
            platform::PdfObject e = a.at(i);
            if (auto str = e.string())
                w->show(*str);
            else if (auto n = e.number(); n && w->gs().font && w->gs().font->wMode() != 0)
                w->tm = platform::AffineTransform::makeTranslation(0, -*n * 0.001 * w->gs().size)
                            .concat(w->tm);
            else if (n)
                w->tm = platform::AffineTransform::makeTranslation(
                            -*n * 0.001 * w->gs().size * w->gs().th, 0)
                            .concat(w->tm);
        }
    });
    auto content =
        std::make_shared<platform::PdfContentStream>(page->documentImpl(), page->contentData());
    platform::PdfScanner scanner(content, t, &w);
    scanner.scan();
    return w.out;
}

std::vector<Word> wordsOf(const std::vector<PlacedChar>& chars) {
    std::vector<Word> words;
    bool open = false;
    double lastX = 0, lastY = 0;
    for (const PlacedChar& c : chars) {
        // A character without text still moves the pen but does not end the word.
        bool blank = c.text == u" " || c.text == u"\u00A0";
        double gap = std::hypot(c.x0 - lastX, c.y0 - lastY);
        if (blank || (open && gap > 0.15 * std::abs(c.fontSize)))
            open = false;
        if (blank)
            continue;
        if (c.text.empty()) {
            if (open) {
                lastX = c.x1;
                lastY = c.y1;
            }
            continue;
        }
        if (!open) {
            words.push_back({"", c.x0, c.y0, c.x1, c.y1});
            open = true;
        }
        words.back().text += utf8(c.text);
        words.back().x1 = c.x1;
        words.back().y1 = c.y1;
        lastX = c.x1;
        lastY = c.y1;
    }
    return words;
}

namespace {

std::string runCommand(const std::string& cmd) {
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    ::pclose(p);
    return out;
}

std::string unescape(std::string s) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (size_t p; (p = s.find(from)) != std::string::npos;)
            s.replace(p, std::string(from).size(), to);
    return s;
}

} // namespace

std::vector<OracleWord> pdftotextWords(const std::string& pdfPath, size_t pageNumber) {
    std::string n = std::to_string(pageNumber);
    std::string html = runCommand("pdftotext -q -f " + n + " -l " + n + " -bbox-layout '" +
                                  pdfPath + "' - 2>/dev/null");
    std::vector<OracleWord> words;
    std::istringstream in(html);
    std::string line;
    while (std::getline(in, line)) {
        size_t w = line.find("<word ");
        if (w == std::string::npos)
            continue;
        auto attr = [&](const char* key) {
            size_t p = line.find(std::string(key) + "=\"", w);
            if (p == std::string::npos)
                return 0.0;
            p += std::strlen(key) + 2;
            size_t q = line.find('"', p);
            return platform::parseDouble(line.substr(p, q - p)).value_or(0.0);
        };
        size_t gt = line.find('>', w), end = line.find("</word>", w);
        if (gt == std::string::npos || end == std::string::npos)
            continue;
        std::string text = unescape(line.substr(gt + 1, end - gt - 1));
        // pdftotext passes codes without Unicode through as control characters.
        text.erase(
            std::remove_if(text.begin(), text.end(), [](char ch) { return ch >= 0 && ch < 0x20; }),
            text.end());
        words.push_back({text, attr("xMin"), attr("yMin"), attr("xMax"), attr("yMax")});
    }
    return words;
}

std::vector<std::string> pdftotextLines(const std::string& pdfPath, size_t pageNumber) {
    std::string n = std::to_string(pageNumber);
    std::string text =
        runCommand("pdftotext -q -f " + n + " -l " + n + " '" + pdfPath + "' - 2>/dev/null");
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\f'))
            line.pop_back();
        if (!line.empty() && line.front() == '\f')
            line.erase(0, 1);
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

} // namespace fonttest
