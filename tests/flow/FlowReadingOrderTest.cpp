// Property: over generated pages, every run of main text appears in each of
// the three outputs exactly once, in reading order (block by block from the
// top, column by column from the left, line by line, word by word).
#include "FlowFixture.h"

#include "flow/QVFlowPDFConverter.h"
#include "pdf/font/QVPDFFontUtilities.h"

#include <limits>
#include <random>

using flowtest::makeRun;
using flowtest::RunSpec;

namespace {

/// The text of an HTML body: tags dropped, references resolved.
std::u16string htmlText(const std::string& html) {
    std::string body = html.substr(html.find("<body>") + 6);
    std::string out;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '<') {
            const size_t end = body.find('>', i);
            if (body.compare(i, 4, "<br>") == 0)
                out += '\n';
            i = end;
            continue;
        }
        if (body[i] == '&') {
            const size_t end = body.find(';', i);
            const std::string ref = body.substr(i, end - i + 1);
            out += ref == "&amp;" ? "&" : ref == "&lt;" ? "<" : ref == "&gt;" ? ">" : "\"";
            i = end;
            continue;
        }
        out += body[i];
    }
    return QVPDFFontUtilities::utf8ToUtf16(out);
}

/// The text of an RTF file: control words dropped except \u, \tab, \line
/// and \par; escaped symbols resolved; group braces dropped.
std::u16string rtfText(const std::string& rtf) {
    std::u16string out;
    for (size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{' || c == '}')
            continue;
        if (c != '\\') {
            out += char16_t(static_cast<unsigned char>(c));
            continue;
        }
        const char n = rtf[++i];
        if (n == '\\' || n == '{' || n == '}') {
            out += char16_t(n);
            continue;
        }
        if (n == '\n') {
            out += u'\n';
            continue;
        }
        size_t k = i;
        while (k < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[k])))
            ++k;
        const std::string word = rtf.substr(i, k - i);
        size_t d = k;
        while (d < rtf.size() &&
               (std::isdigit(static_cast<unsigned char>(rtf[d])) || rtf[d] == '-'))
            ++d;
        const std::string number = rtf.substr(k, d - k);
        if (d < rtf.size() && rtf[d] == ' ')
            ++d;
        i = d - 1;
        if (word == "u")
            out += char16_t(std::stoul(number));
        else if (word == "tab")
            out += u'\t';
        else if (word == "line" || word == "par")
            out += u'\n';
    }
    return out;
}

struct Generated {
    std::vector<std::vector<RunSpec>> pages;
    std::vector<std::u16string> readingOrder; ///< every run's text
};

Generated generate(std::mt19937& rng) {
    const auto pick = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    static const char16_t* const kDecorations[] = {
        u"", u"", u"&<", u"{\\", u"\u00e9\u4e2d", u"\U0001F600", u"\"'", u">}"};
    Generated g;
    int serial = 0;
    const int pages = pick(1, 3);
    for (int page = 0; page < pages; ++page) {
        std::vector<RunSpec> runs;
        std::vector<std::pair<int, std::u16string>> order; // (block-major key, text)
        double y = pick(30, 90);
        const int blocks = pick(1, 4);
        for (int b = 0; b < blocks; ++b) {
            const int columns = pick(1, 3);
            const int lines = pick(1, 5);
            // Each line: its bottom and the smallest size on it (the next
            // line starts that far lower, so the line boxes touch).
            std::vector<double> bottoms;
            std::vector<std::vector<float>> sizes(static_cast<size_t>(lines));
            double bottom = y + 14;
            for (int l = 0; l < lines; ++l) {
                float smallest = 99;
                for (int k = 0; k < 8; ++k) {
                    sizes[size_t(l)].push_back(float(pick(10, 14)));
                    smallest = std::min(smallest, sizes[size_t(l)].back());
                }
                if (l > 0)
                    bottom += smallest;
                bottoms.push_back(bottom);
            }
            double left = pick(20, 60);
            for (int c = 0; c < columns; ++c) {
                double widest = 0;
                for (int l = 0; l < lines; ++l) {
                    double x = left;
                    const int words = pick(1, 4);
                    for (int w = 0; w < words; ++w) {
                        const int pieces = pick(1, 2); // a word drawn in one or two runs
                        for (int p = 0; p < pieces; ++p) {
                            std::u16string text = kDecorations[pick(0, 7)];
                            const std::string digits = std::to_string(1000 + serial++);
                            text += u"q" + std::u16string(digits.begin(), digits.end()) + u"z";
                            const double width = 6.0 * double(text.size());
                            runs.push_back({text, x, bottoms[size_t(l)], width,
                                            sizes[size_t(l)][size_t(w * 2 + p)]});
                            order.push_back({b * 1000000 + c * 10000 + l * 100 + w * 2 + p, text});
                            x += width;
                        }
                        x += pick(2, 6); // a word gap: a new line part of the same column
                    }
                    widest = std::max(widest, x - left);
                }
                left += widest + pick(20, 80);
            }
            // Blocks lie at least half a line (7 of the largest size) apart:
            // closer, the next one's lines would continue this block's band.
            y = bottoms.back() + pick(8, 40);
        }
        std::stable_sort(order.begin(), order.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& o : order)
            g.readingOrder.push_back(o.second);
        g.pages.push_back(std::move(runs));
    }
    return g;
}

class FlowReadingOrder : public flowtest::ScratchTest {};

} // namespace

TEST_F(FlowReadingOrder, EveryRunAppearsOnceInReadingOrderInEachOutput) {
    std::mt19937 rng(20261210);
    for (int round = 0; round < 40; ++round) {
        const Generated g = generate(rng);
        for (QVFlowFamily family : {QVFlowFamily::HTML, QVFlowFamily::RTF, QVFlowFamily::Text}) {
            const std::string file = path("doc" + std::to_string(round));
            auto doc = QVFlowPDFConverter::initWithPath(family, file, int64_t(g.pages.size()));
            doc->begainWriteDocument();
            // Runs reach the page in a shuffled drawing order.
            for (const auto& page : g.pages) {
                doc->begainWritePage({612, 792});
                std::vector<RunSpec> shuffled = page;
                std::shuffle(shuffled.begin(), shuffled.end(), rng);
                for (const RunSpec& s : shuffled)
                    doc->currentPage()->allRunTextArray().push_back(makeRun(family, s));
                doc->endWritePage();
            }
            doc->endWriteDocument();
            doc->packetDocxFile();
            const std::string bytes = read(file);
            const std::u16string text = family == QVFlowFamily::HTML ? htmlText(bytes)
                                        : family == QVFlowFamily::RTF
                                            ? rtfText(bytes)
                                            : QVPDFFontUtilities::utf8ToUtf16(bytes);
            size_t at = 0;
            for (const std::u16string& token : g.readingOrder) {
                const size_t found = text.find(token);
                ASSERT_NE(found, std::u16string::npos)
                    << "round " << round << " family " << int(family) << ": missing run";
                EXPECT_EQ(text.find(token, found + 1), std::u16string::npos)
                    << "round " << round << " family " << int(family) << ": run twice";
                EXPECT_GE(found, at)
                    << "round " << round << " family " << int(family) << ": out of reading order\n"
                    << bytes;
                at = found + token.size();
            }
        }
    }
}

TEST_F(FlowReadingOrder, BrokenGeometryStillWritesEveryRunOnce) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<RunSpec> runs{
        {u"qAz", nan, 100},       {u"qBz", 10, nan},           {u"qCz", inf, 100},
        {u"qDz", 10, -inf},       {u"qEz", 10, 100, nan},      {u"qFz", 10, 100, -inf},
        {u"qGz", 1e308, 1e308},   {u"qHz", -1e308, 50, 1e308}, {u"qIz", 10, 100, 0, 0},
        {u"qJz", 10, 100, 5, -3}, {u"qKz", 20, 100, 5, 1e30f}, {u"qLz", 10, 1e9},
    };
    for (QVFlowFamily family : {QVFlowFamily::HTML, QVFlowFamily::RTF, QVFlowFamily::Text}) {
        const std::string file = path("broken");
        auto doc = QVFlowPDFConverter::initWithPath(family, file, 1);
        doc->begainWriteDocument();
        doc->begainWritePage({nan, inf});
        for (const RunSpec& s : runs) {
            auto run = makeRun(family, s);
            run->setSpaceWidth(s.x == 10 ? nan : 1e-300);
            doc->currentPage()->allRunTextArray().push_back(run);
        }
        doc->endWritePage();
        doc->packetDocxFile();
        const std::string bytes = read(file);
        const std::u16string text = family == QVFlowFamily::HTML ? htmlText(bytes)
                                    : family == QVFlowFamily::RTF
                                        ? rtfText(bytes)
                                        : QVPDFFontUtilities::utf8ToUtf16(bytes);
        for (const RunSpec& s : runs) {
            const size_t found = text.find(s.text);
            EXPECT_NE(found, std::u16string::npos) << int(family) << " " << bytes;
            EXPECT_EQ(text.find(s.text, found + 1), std::u16string::npos) << int(family);
        }
        EXPECT_LT(bytes.size(), 100000u); // no blank or space flood
    }
}
