// The content interpreter end to end: content streams on built pages, each
// run recorded as its reports and checked with the state it leaves.
#include "pdf/InterpreterHarness.h"

#include "pdf/colour/QVPDFColorSpace.h"
#include "pdf/content/QVPDFExtGState.h"
#include "pdf/xobject/QVPDFFormXObject.h"
#include "platform/pdf/PdfBudgetExceeded.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

using harness::Result;
using harness::run;
using platform::AffineTransform;
using Events = std::vector<std::string>;

namespace {

const std::string kId = " ctm [1 0 0 1 0 0]";

std::shared_ptr<const QVPDFFont> testFont(std::map<unsigned char, float> widths = {}) {
    return std::make_shared<harness::TestFont>(std::move(widths));
}

// Page resources with the given source, or none.
std::function<std::string(fixtures::PdfBuilder&)> resources(const std::string& source) {
    return [source](fixtures::PdfBuilder&) { return source; };
}

std::string clipText(const QVPDFRenderState& st) {
    std::string out;
    for (const QVPDFClipPath& clip : st.clipBezierPaths()) {
        auto path = QVPDFCGPathUtilities::CGPathWithNSArray(clip.path);
        out += (out.empty() ? "" : " | ") + std::string(clip.evenOdd ? "eo " : "nz ") +
               (path ? harness::pathText(*path) : "?");
    }
    return out;
}

struct Case {
    const char* name;
    std::string content;
    std::string resources;
    Events expected;
    std::function<void(const Result&)> check;
};

void runCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = run(c.content, c.resources.empty() ? nullptr : resources(c.resources));
        EXPECT_EQ(r.events, c.expected);
        if (c.check)
            c.check(r);
    }
}

} // namespace

TEST(QVPDFConentParser, OperatorTableHasTheSixtyNineOperatorsInOrder) {
    const auto& names = QVPDFConentParser::operatorNames();
    ASSERT_EQ(names.size(), 69u);
    EXPECT_EQ(names.front(), "BT");
    EXPECT_EQ(names[17], "MP");
    EXPECT_EQ(names[36], "cm");
    EXPECT_EQ(names.back(), "EI");
    EXPECT_EQ(QVPDFConentParser::operatorTable().size(), 69u);
}

TEST(QVPDFConentParser, PathsPaintingAndClips) {
    runCases({
        {"stroke, then a fresh path",
         "0 0 m 10 0 l S 5 5 m 6 6 l S",
         "",
         {"path S M0,0 L10,0" + kId, "path S M5,5 L6,6" + kId},
         nullptr},
        {"b closes first, B does not",
         "0 0 m 10 0 l 10 10 l b 0 0 m 10 0 l 10 10 l B",
         "",
         {"path SF M0,0 L10,0 L10,10 Z" + kId, "path SF M0,0 L10,0 L10,10" + kId},
         [](const Result& r) { EXPECT_FALSE(r.top().usesEvenOddFillRule()); }},
        {"painting flags",
         "0 0 m 1 1 l f 0 0 m 1 1 l F 0 0 m 1 1 l f* 0 0 m 1 1 l s 0 0 m 1 1 l b* "
         "0 0 m 1 1 l B*",
         "",
         {"path F M0,0 L1,1" + kId, "path F M0,0 L1,1" + kId, "path F M0,0 L1,1" + kId,
          "path S M0,0 L1,1 Z" + kId, "path SF M0,0 L1,1 Z" + kId, "path SF M0,0 L1,1" + kId},
         [](const Result& r) { EXPECT_TRUE(r.top().usesEvenOddFillRule()); }},
        {"re W n under a scaling CTM records the clip with the CTM applied",
         "2 0 0 2 0 0 cm 10 10 50 20 re W n",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(clipText(r.top()), "nz M20,20 L120,20 L120,60 L20,60 Z");
             EXPECT_TRUE(r.top().cgPath().isEmpty());
         }},
        {"W before a fill clips after painting; a later n without W records nothing",
         "10 10 50 20 re W f 0 0 5 5 re n",
         "",
         {"path F M10,10 L60,10 L60,30 L10,30 Z" + kId},
         [](const Result& r) {
             EXPECT_EQ(clipText(r.top()), "nz M10,10 L60,10 L60,30 L10,30 Z");
             EXPECT_EQ(r.top().clip(), 0);
         }},
        {"W* records the even-odd rule",
         "0 0 5 5 re W* n",
         "",
         {},
         [](const Result& r) { EXPECT_EQ(clipText(r.top()), "eo M0,0 L5,0 L5,5 L0,5 Z"); }},
        {"q/Q isolate clips and the current path",
         "0 0 1 1 re W n 0 0 m q 1 1 l 0 0 5 5 re W n Q 2 2 l S",
         "",
         {"path S M0,0 L2,2" + kId},
         [](const Result& r) { EXPECT_EQ(clipText(r.top()), "nz M0,0 L1,0 L1,1 L0,1 Z"); }},
        {"v takes the current point as its first control point",
         "1 2 m 3 4 5 6 v S",
         "",
         {"path S M1,2 C1,2;3,4;5,6" + kId},
         nullptr},
        {"v without a current point adds nothing; y repeats its end point",
         "3 4 5 6 v 0 0 m 1 2 3 4 y S",
         "",
         {"path S M0,0 C1,2;3,4;3,4" + kId},
         nullptr},
        {"painting with no path reports nothing; h on no path adds nothing",
         "f S n h 0 0 m S",
         "",
         {"path S M0,0" + kId},
         nullptr},
    });
}

TEST(QVPDFConentParser, ColourLineStyleAndMatrices) {
    runCases({
        {"cm puts the new matrix first",
         "1 0 0 1 5 5 cm 2 0 0 2 10 20 cm",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().ctm(), (AffineTransform{2, 0, 0, 2, 15, 25}));
         }},
        {"gray truncates; rgb keeps values above 1 until converted",
         "0.5 g 1.2 0 0 RG",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().fillColor().c[0], 127);
             EXPECT_EQ(r.top().fillColorSpace()->getMode(), QVPDFColorSpace::kDeviceGray);
             EXPECT_EQ(r.top().strokeColor().c[0], 306);
             EXPECT_EQ(r.top().currentStrokeRGBColor(), (QVPDFRGB{255, 0, 0}));
         }},
        {"a huge operand clamps to the 32-bit range",
         "1" + std::string(30, '0') + " g -1" + std::string(30, '0') + " 0 0 rg",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().fillColor().c[0], INT_MIN);
             EXPECT_EQ(r.top().currentFillRGBColor(), (QVPDFRGB{0, 0, 0}));
             EXPECT_EQ(r.top().fillColorSpace()->getMode(), QVPDFColorSpace::kDeviceRGB);
         }},
        {"sc and SC before any cs set one gray component",
         "1 sc 0.5 SC",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().fillColorSpace()->getMode(), QVPDFColorSpace::kDeviceGray);
             EXPECT_EQ(r.top().currentFillRGBColor(), (QVPDFRGB{255, 255, 255}));
             EXPECT_EQ(r.top().strokeColorSpace()->getMode(), QVPDFColorSpace::kDeviceGray);
             EXPECT_EQ(r.top().currentStrokeRGBColor(), (QVPDFRGB{127, 127, 127}));
         }},
        {"scn and SCN before any cs set one gray component",
         "1 scn 0.25 SCN",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().currentFillRGBColor(), (QVPDFRGB{255, 255, 255}));
             EXPECT_EQ(r.top().currentStrokeRGBColor(), (QVPDFRGB{63, 63, 63}));
         }},
        {"cs installs the default colour; sc needs every component",
         "/DeviceCMYK cs 0.2 sc 0.1 0.2 0.3 0.4 K",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().fillColor().c[3], 255);
             EXPECT_EQ(r.top().fillColor().c[0], 0);
             EXPECT_EQ(r.top().strokeColor().c[0], 25);
             EXPECT_EQ(r.top().strokeColor().c[3], 102);
         }},
        {"a named colour space of the resources, set by CS and SC",
         "/CS0 CS 0.5 SC 0.1 0.2 0.3 0.4 0.5 SCN",
         "<< /ColorSpace << /CS0 /DeviceGray >> >>",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().strokeColorSpace()->getMode(), QVPDFColorSpace::kDeviceGray);
             EXPECT_EQ(r.top().strokeColor().c[0], 127); // SCN took its last operand only
         }},
        {"scn in a pattern space changes nothing",
         "/Pattern cs /P0 scn 0.5 scn",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().fillColorSpace()->getMode(), QVPDFColorSpace::kPattern);
             EXPECT_EQ(r.top().fillColor(), QVPDFColor{});
         }},
        {"an unknown colour space name changes nothing",
         "0.5 g /Nope cs",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().fillColorSpace()->getMode(), QVPDFColorSpace::kDeviceGray);
         }},
        {"dash arrays and phases keep real values",
         "[0.5 0.5] 0.25 d",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().lineDashPattern(), (std::vector<double>{0.5, 0.5}));
             EXPECT_EQ(r.top().lineDashPhase(), 0.25);
         }},
        {"a dash entry that is not a number repeats the one before",
         "[/x 2.5 (y) 3] 1 d",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().lineDashPattern(), (std::vector<double>{0, 2.5, 2.5, 3}));
         }},
        {"an empty dash array is a solid line",
         "[] 0 d",
         "",
         {},
         [](const Result& r) { EXPECT_EQ(r.top().lineDashPattern(), std::vector<double>{}); }},
        {"line style: integer joins and caps only, clamped to 32 bits",
         "3 w 1.5 j 2 J 4 M 0.5 i 99999999999 j",
         "",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().lineWidth(), 3);
             EXPECT_EQ(r.top().lineJoinStyle(), INT_MAX);
             EXPECT_EQ(r.top().lineCapStyle(), 2);
             EXPECT_EQ(r.top().lineMiterLimit(), 4);
             EXPECT_EQ(r.top().lineFlatness(), 0.5);
         }},
        {"marked content and compatibility sections play no part",
         "/OC /L1 BDC /Tag BMC 0 0 m /P << /MCID 0 >> DP 1 1 l /P MP BX S EX EMC EMC",
         "",
         {"path S M0,0 L1,1" + kId},
         nullptr},
        {"restores without saves are ignored, the page goes on",
         "q 3 w Q Q Q 0 0 m 1 1 l S 5 w",
         "",
         {"path S M0,0 L1,1" + kId},
         [](const Result& r) {
             EXPECT_EQ(r.stack->depth(), 1u);
             EXPECT_EQ(r.top().lineWidth(), 5);
         }},
    });
}

TEST(QVPDFConentParser, GraphicsStateDictionaries) {
    runCases({
        {"gs with only ca changes the fill alpha alone",
         "/GS0 gs",
         "<< /ExtGState << /GS0 << /ca 0.5 >> >> >>",
         {},
         [](const Result& r) {
             EXPECT_EQ(r.top().fillAlpha(), 0.5);
             EXPECT_EQ(r.top().strokeAlpha(), 1.0);
             EXPECT_EQ(r.top().lineWidth(), 1.0);
             EXPECT_TRUE(r.top().alphaFlag());
         }},
        {"every parameter, single-precision reals, the standard dash form",
         "/GS0 gs",
         "<< /ExtGState << /GS0 << /LW 0.1 /LC 1 /LJ 2 /ML 3 /D [[3 2] 1] /CA 0.3 /AIS true "
         "/op true /OP true /SA true /BM [/Foo /Screen] /RI /Perceptual >> >> >>",
         {},
         [](const Result& r) {
             const QVPDFRenderState& st = r.top();
             EXPECT_EQ(st.lineWidth(), 0.10000000149011612);
             EXPECT_EQ(st.lineCapStyle(), 1);
             EXPECT_EQ(st.lineJoinStyle(), 2);
             EXPECT_EQ(st.lineMiterLimit(), 3);
             EXPECT_EQ(st.lineDashPattern(), (std::vector<double>{3, 2}));
             EXPECT_EQ(st.lineDashPhase(), 1);
             EXPECT_EQ(st.strokeAlpha(), static_cast<double>(0.3f));
             EXPECT_TRUE(st.fillOverprint() && st.strokeOverprint() && st.strokeAdjust());
             EXPECT_EQ(st.blendMode(), 2);
         }},
        {"a name the collection does not hold, or a non-dictionary entry, changes nothing",
         "/GS9 gs /GS1 gs",
         "<< /ExtGState << /GS1 5 >> >>",
         {},
         [](const Result& r) { EXPECT_EQ(r.top().lineWidth(), 1.0); }},
        {"names that are not UTF-8 resolve by their bytes",
         "/GS#E9 gs",
         "<< /ExtGState << /GS#E9 << /LW 4 >> >> >>",
         {},
         [](const Result& r) { EXPECT_EQ(r.top().lineWidth(), 4.0); }},
    });
}

TEST(QVPDFExtGState, BlendModes) {
    struct Case {
        platform::PdfObject object;
        std::optional<int32_t> mode;
    };
    auto doc = platform::PdfDocument::openFromMemory(
        [] {
            fixtures::PdfBuilder b;
            fixtures::PageSpec spec;
            spec.resources = "<< /A [/Foo /Screen /Multiply] /B [/Foo] /C [/Foo 5 /Screen] /D [] "
                             "/E /HardLight >>";
            b.addPage(spec);
            return b.build();
        }(),
        "bm");
    platform::PdfObject res = doc->page(1)->dictionary().get("Resources");
    const Case cases[] = {
        {platform::PdfObject::makeName("Multiply"), 1},
        {platform::PdfObject::makeName("Foo"), {}},
        {res.get("A"), 2},
        {res.get("B"), 0},
        {res.get("C"), {}},
        {res.get("D"), 0},
        {res.get("E"), 8},
        {platform::PdfObject::makeInteger(1), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QVPDFExtGState::parseBlendMode(c.object), c.mode);
}

namespace {

// Page resources naming each form of `forms` (name, dictionary source
// without /Subtype, content) under /XObject, plus `extra` entries.
std::function<std::string(fixtures::PdfBuilder&)>
formResources(std::vector<std::array<std::string, 3>> forms, std::string extra = "") {
    return [forms, extra](fixtures::PdfBuilder& b) {
        std::string xobjects;
        for (const auto& [name, dict, content] : forms)
            xobjects +=
                " /" + name + " " +
                b.addStream("<< /Type /XObject /Subtype /Form /BBox [0 0 100 100] " + dict + " >>",
                            content);
        return "<< /XObject <<" + xobjects + " >> " + extra + " >>";
    };
}

} // namespace

TEST(QVPDFConentParser, FormsRunInPlace) {
    {
        SCOPED_TRACE("Matrix applies on top of the invoking CTM, which comes back after Do");
        Result r = run("/Fm1 Do 0 0 m 1 1 l S",
                       formResources({{"Fm1", "/Matrix [0.5 0 0 0.5 100 100]", "0 0 m 1 1 l S"}}));
        EXPECT_EQ(r.events,
                  (Events{"path S M0,0 L1,1 ctm [0.5 0 0 0.5 100 100]", "path S M0,0 L1,1" + kId}));
    }
    {
        SCOPED_TRACE("nested forms with their own resources");
        Result r = run("2 0 0 2 0 0 cm /Fm1 Do", [](fixtures::PdfBuilder& b) {
            std::string inner = b.addStream(
                "<< /Subtype /Form /BBox [0 0 1 1] /Matrix [1 0 0 1 10 0] >>", "0 0 m 1 1 l S");
            std::string outer = b.addStream(
                "<< /Subtype /Form /BBox [0 0 1 1] /Matrix [3 0 0 3 0 0] /Resources << /XObject "
                "<< /In " +
                    inner + " >> >> >>",
                "/In Do");
            return "<< /XObject << /Fm1 " + outer + " >> >>";
        });
        // In x Outer x page: translate 10, then scale 3, then scale 2.
        EXPECT_EQ(r.events, (Events{"path S M0,0 L1,1 ctm [6 0 0 6 60 0]"}));
    }
    {
        SCOPED_TRACE("a form that invokes itself is cut at the first repeat");
        Result r =
            run("/Fm1 Do 0 0 m 2 2 l S", formResources({{"Fm1", "", "0 0 m 1 1 l S /Fm1 Do"}}));
        EXPECT_EQ(r.events, (Events{"path S M0,0 L1,1" + kId, "path S M0,0 L2,2" + kId}));
        EXPECT_EQ(r.stack->depth(), 1u);
    }
    {
        SCOPED_TRACE("two forms that invoke each other run once each");
        Result r = run("/A Do", formResources({{"A", "", "0 0 m 1 1 l S /B Do"},
                                               {"B", "", "0 0 m 2 2 l S /A Do"}}));
        EXPECT_EQ(r.events, (Events{"path S M0,0 L1,1" + kId, "path S M0,0 L2,2" + kId}));
    }
    {
        SCOPED_TRACE("at most 21 levels of forms below the page");
        std::vector<std::array<std::string, 3>> chain;
        for (int i = 0; i < 30; ++i)
            chain.push_back(
                {"F" + std::to_string(i), "", "0 0 m 1 1 l S /F" + std::to_string(i + 1) + " Do"});
        Result r = run("/F0 Do", formResources(chain));
        EXPECT_EQ(r.events.size(), 21u);
    }
    {
        SCOPED_TRACE("a form without resources resolves names in the invoking stream's");
        harness::Recorder rec;
        std::vector<double> widths;
        rec.onReport = [&](QVPDFConentParser& p) {
            widths.push_back(p.currentRenderingState()->lineWidth());
        };
        run("/Fm1 Do 0 0 m 1 1 l S",
            formResources({{"Fm1", "", "/GS0 gs 0 0 m 1 1 l S"}},
                          "/ExtGState << /GS0 << /LW 5 >> >>"),
            nullptr, &rec);
        EXPECT_EQ(widths, (std::vector<double>{5, 1}));
    }
    {
        SCOPED_TRACE("a form's own saves and restores stay inside it");
        harness::Recorder rec;
        std::vector<double> widths;
        rec.onReport = [&](QVPDFConentParser& p) {
            widths.push_back(p.currentRenderingState()->lineWidth());
        };
        Result r = run("q 7 w /Fm1 Do 0 0 m 1 1 l S /Fm2 Do 0 0 m 1 1 l S Q",
                       formResources({{"Fm1", "", "Q Q Q 0 0 m 1 1 l S"}, {"Fm2", "", "q q 9 w"}}),
                       nullptr, &rec);
        EXPECT_EQ(widths, (std::vector<double>{7, 7, 7}));
        EXPECT_EQ(r.stack->depth(), 1u);
        EXPECT_EQ(r.top().lineWidth(), 1);
    }
    {
        SCOPED_TRACE("images are reported; unknown names and other subtypes draw nothing");
        Result r = run("/Im1 Do /Nope Do /Ps Do (x) Do BI /W 1 /H 1 /BPC 8 /CS /G ID \x80 EI",
                       [](fixtures::PdfBuilder& b) {
                           std::string im = b.addStream(
                               "<< /Subtype /Image /Width 1 /Height 1 /BitsPerComponent 8 "
                               "/ColorSpace /DeviceGray >>",
                               std::string(1, '\x80'));
                           std::string ps = b.addStream("<< /Subtype /PS >>", "");
                           return "<< /XObject << /Im1 " + im + " /Ps " + ps + " >> >>";
                       });
        EXPECT_EQ(r.events, (Events{"image", "image"}));
    }
}

TEST(QVPDFConentParser, FormsThatFanOutStayBounded) {
    // Each of 24 levels invokes the next one twice: 2^24 runs without a bound.
    // The page's form invocations run out long before and fail the page.
    std::vector<std::array<std::string, 3>> levels;
    for (int i = 0; i < 24; ++i) {
        std::string next = "/L" + std::to_string(i + 1) + " Do ";
        levels.push_back({"L" + std::to_string(i), "", "0 0 m 1 1 l S " + next + next});
    }
    harness::Recorder rec;
    try {
        run("/L0 Do 5 5 m 6 6 l S", formResources(levels), nullptr, &rec);
        ADD_FAILURE() << "the page ran to its end";
    } catch (const platform::PdfBudgetExceeded& e) {
        EXPECT_STREQ(e.what(), "The page invokes forms more than 100000 times.");
    }
    ASSERT_FALSE(rec.events.empty());
    EXPECT_LT(rec.events.size(), 1u << 20);
}

TEST(QVPDFConentParser, ResourcesAreInheritedFromAnyAncestor) {
    // A page tree of two levels above the page, resources on the root only.
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 /Resources << /ExtGState << /GS0 << /LW 6 >> >> "
        "/XObject << /Fm1 6 0 R >> >> >>",
        "<< /Type /Pages /Parent 2 0 R /Kids [4 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 100 100] /Contents 5 0 R >>",
        "<< /Length 26 >>\nstream\n/GS0 gs /Fm1 Do 0 0 m S\nendstream",
        "<< /Subtype /Form /BBox [0 0 1 1] /Length 11 >>\nstream\n0 0 m 1 1 l S\nendstream",
    };
    std::ostringstream pdf;
    pdf << "%PDF-1.7\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(static_cast<size_t>(pdf.tellp()));
        pdf << i + 1 << " 0 obj\n" << objects[i] << "\nendobj\n";
    }
    size_t xref = static_cast<size_t>(pdf.tellp());
    pdf << "xref\n0 " << objects.size() + 1 << "\n0000000000 65535 f \n";
    for (size_t off : offsets) {
        std::string n = std::to_string(off);
        pdf << std::string(10 - n.size(), '0') << n << " 00000 n \n";
    }
    pdf << "trailer\n<< /Size " << objects.size() + 1 << " /Root 1 0 R >>\nstartxref\n"
        << xref << "\n%%EOF\n";
    auto doc = platform::PdfDocument::openFromMemory(pdf.str(), "tree");
    ASSERT_TRUE(doc);
    auto page = doc->page(1);
    ASSERT_TRUE(page);
    auto stack = std::make_shared<RenderingStateStack>();
    harness::Recorder rec;
    QVPDFConentParser parser(page->dictionary(), std::make_shared<platform::PdfContentStream>(
                                                     page->documentImpl(), page->contentData()));
    parser.setDelegate(&rec);
    parser.setRenderingStateStack(stack);
    parser.startParser();
    EXPECT_EQ(stack->topRenderingState()->lineWidth(), 6);
    EXPECT_EQ(rec.events, (Events{"path S M0,0 L1,1" + kId, "path S M0,0" + kId}));
}

TEST(QVPDFConentParser, TextShowing) {
    auto withFont = [](double size, std::map<unsigned char, float> widths = {}) {
        return [size, widths](QVPDFRenderState& st) {
            st.setFont(testFont(widths));
            st.setFontSize(size);
        };
    };
    struct TextCase {
        const char* name;
        std::string content;
        std::function<void(QVPDFRenderState&)> setUp;
        Events expected;
        std::function<void(const Result&)> check;
    };
    const std::vector<TextCase> cases = {
        {"spacings and scaling",
         "BT 1 Tc 3 Tw 50 Tz ( A) Tj ET",
         withFont(10, {{' ', 0.25f}, {'A', 0.5f}}),
         {"text  A adv 6.25,0 tm [1 0 0 1 0 0]" + kId},
         nullptr},
        {"the report sees the string's start, the matrix moves after",
         "BT 100 700 Td (Hi) Tj ET",
         withFont(12, {{'H', 0.75f}, {'i', 0.25f}}),
         {"text Hi adv 12,0 tm [1 0 0 1 100 700]" + kId},
         [](const Result& r) {
             EXPECT_EQ(r.top().textMatrix(), AffineTransform::makeTranslation(112, 700));
             EXPECT_EQ(r.top().lineMatrix(), AffineTransform::makeTranslation(100, 700));
         }},
        {"TJ adjustments move by the absolute font size",
         "BT [(AB) -500 (C)] TJ ET",
         withFont(12),
         {"text AB adv 12,0 tm [1 0 0 1 0 0]" + kId, "text C adv 6,0 tm [1 0 0 1 18 0]" + kId},
         nullptr},
        {"TJ with a negative font size",
         "BT [(A) -500 (C)] TJ ET",
         withFont(-12),
         {"text A adv -6,0 tm [1 0 0 1 0 0]" + kId, "text C adv -6,0 tm [1 0 0 1 0 0]" + kId},
         nullptr},
        {"without a font nothing shows and a TJ number ends the array",
         "BT (x) Tj [(AB) 250 (C)] TJ ET",
         nullptr,
         {},
         nullptr},
        {"T* moves down by the leading",
         "14 TL BT T* (x) Tj ET",
         withFont(1),
         {"text x adv 0.5,0 tm [1 0 0 1 0 -14]" + kId},
         nullptr},
        {"' and \" move to the next line; \" sets the spacings first",
         "10 TL BT (a) ' 0.25 0.125 (b) \" ET",
         withFont(1),
         {"text a adv 0.5,0 tm [1 0 0 1 0 -10]" + kId,
          "text b adv 0.625,0 tm [1 0 0 1 0 -20]" + kId},
         [](const Result& r) {
             EXPECT_EQ(r.top().wordSpacing(), 0.25);
             EXPECT_EQ(r.top().characterSpacing(), 0.125);
         }},
        {"Tf with an unknown name keeps the font and size",
         "/F9 12 Tf BT (x) Tj ET",
         withFont(10),
         {"text x adv 5,0 tm [1 0 0 1 0 0]" + kId},
         [](const Result& r) { EXPECT_EQ(r.top().fontSize(), 10); }},
        {"a tab and a no-break space are spaces with the word spacing",
         "3 Tw BT (\004\005) Tj ET",
         withFont(10),
         {"text    adv 16,0 tm [1 0 0 1 0 0]" + kId},
         nullptr},
        {"a decoded hyphen sequence is one U+2010; a surrogate pair stays one character",
         "BT (\001\002) Tj ET",
         withFont(1),
         {"text \xE2\x80\x90\xF0\x9F\x98\x80 adv 1,0 tm [1 0 0 1 0 0]" + kId},
         nullptr},
        {"characters without text still advance; a string of only such is shown empty",
         "BT (\003) Tj (\003A) Tj ET",
         withFont(1),
         {"text  adv 0.5,0 tm [1 0 0 1 0 0]" + kId, "text A adv 1,0 tm [1 0 0 1 0.5 0]" + kId},
         nullptr},
        {"blanks wider than 0.8 em cut a string into pieces, each at its own place",
         "BT (200   100) Tj ET",
         withFont(10),
         {"text 200 adv 15,0 tm [1 0 0 1 0 0]" + kId, "text 100 adv 15,0 tm [1 0 0 1 30 0]" + kId},
         [](const Result& r) {
             EXPECT_EQ(r.top().textMatrix(), AffineTransform::makeTranslation(45, 0));
         }},
        {"word spacing counts: a stretched gap cuts, a narrower one does not",
         "BT 5 Tw (a b) Tj 2 Tw (a b) Tj ET",
         withFont(10),
         {"text a adv 5,0 tm [1 0 0 1 0 0]" + kId, "text b adv 5,0 tm [1 0 0 1 15 0]" + kId,
          "text a b adv 17,0 tm [1 0 0 1 20 0]" + kId},
         nullptr},
        {"glyphs spread by character spacing are pieces of their own",
         "BT 10 Tc (02) Tj ET",
         withFont(10),
         {"text 0 adv 5,0 tm [1 0 0 1 0 0]" + kId, "text 2 adv 5,0 tm [1 0 0 1 15 0]" + kId},
         [](const Result& r) {
             EXPECT_EQ(r.top().textMatrix(), AffineTransform::makeTranslation(30, 0));
         }},
        {"leader dots spread by character spacing read with a blank between each two",
         "BT 1.5 Tc (a...) Tj 0.5 Tc (...) Tj ET",
         withFont(10),
         {"text a. . . adv 26,0 tm [1 0 0 1 0 0]" + kId, "text ... adv 16.5,0 tm [1 0 0 1 26 0]" + kId},
         nullptr},
        {"a glyph that gives no text is no gap: the string stays one piece",
         "BT (a\003\003b) Tj ET",
         withFont(10),
         {"text ab adv 20,0 tm [1 0 0 1 0 0]" + kId},
         nullptr},
        {"wide padding before and after the text is left out; narrow blanks stay",
         "BT (   7  ) Tj ( x ) Tj ET",
         withFont(10),
         {"text 7 adv 5,0 tm [1 0 0 1 15 0]" + kId, "text  x  adv 15,0 tm [1 0 0 1 30 0]" + kId},
         nullptr},
        {"Tm sets both matrices under the CTM; hostile matrices change nothing",
         "2 0 0 2 0 0 cm BT 1 0 0 1 5 6 Tm 1 0 0 1 1e300 0 Tm (x) Tj ET",
         withFont(1),
         {"text x adv 0.5,0 tm [1 0 0 1 5 6] ctm [2 0 0 2 0 0]"},
         nullptr},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = run(c.content, nullptr, c.setUp);
        EXPECT_EQ(r.events, c.expected);
        if (c.check)
            c.check(r);
    }
}

TEST(QVPDFConentParser, HostileOperandsChangeNothing) {
    // PDF numbers have no exponent: huge values are long digit strings.
    const std::string e39 = "1" + std::string(39, '0');
    const std::string e300 = "1" + std::string(300, '0');
    const std::string streams[] = {
        "cm",
        "1 2 3 cm",
        "/a /b /c /d /e /f cm",
        e300 + " 0 0 " + e300 + " 0 0 cm",
        "(x) w",
        "w",
        e39 + " w",
        "-" + e39 + " 0 0 1 0 0 Tm",
        "0 0 m " + e39 + " 0 l S",
        "[1 2] d",
        "[1 2] /x d",
        "(s) 0 d",
        "0.5 j",
        "1e30 J",
        "99999999999999999999 j",
        "m",
        "1 m",
        "(a) (b) l",
        "1 2 3 c",
        "re",
        "/F1 Tf",
        "12 Tf",
        "Tj",
        "[(a)] Tj",
        "TJ",
        "5 TJ",
        "<< >> gs",
        "/X gs",
        "gs",
        "sh",
        "/X sh",
        "CS",
        "/Nope cs",
        "[/Spot] cs", // a family name no class has; [/Indexed] gives a (failed) indexed space
        "sc",
        "scn",
        "SC",
        "g",
        "(x) g",
        "1 2 RG",
        "k",
        "/X Do",
        "Do",
        "(str) Do",
        "Q Q Q",
        "EI",
        "BI ID EI",
        "BI /W 1 ID",
        "Tz",
        "(x) Tz",
        e39 + " TL",
        "Td",
        "1 TD",
        "Tm",
        "ri",
        "Tr",
        "i",
        "M",
        "d0 d1 BX ((( EX",
        "[ [ [ ] ",
        "<< /A [ >>",
        "<<<<<<",
        ")))",
        "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18",
        "0 0 m /x l h n",
        "W n W* S",
        e300 + " " + e300 + " m " + e300 + " 0 l W n",
        "1 0 0 1 0 0 " + e300 + " Tm",
        e300 + " Tz",
        e300 + " Tc",
        e300 + " Tw",
        e300 + " d",
    };
    const QVPDFRenderState pristine;
    for (const std::string& content : streams) {
        SCOPED_TRACE(content.substr(0, 60));
        Result r = run(content);
        const QVPDFRenderState& st = r.top();
        EXPECT_EQ(r.stack->depth(), 1u);
        EXPECT_EQ(st.ctm(), pristine.ctm());
        EXPECT_EQ(st.textMatrix(), pristine.textMatrix());
        EXPECT_EQ(st.lineWidth(), pristine.lineWidth());
        EXPECT_EQ(st.lineJoinStyle(), 0);
        EXPECT_EQ(st.lineCapStyle(), 0);
        EXPECT_EQ(st.leading(), 0);
        EXPECT_EQ(st.horizontalScaling(), 1);
        EXPECT_FALSE(st.lineDashPattern());
        EXPECT_EQ(st.fillColor(), pristine.fillColor());
        EXPECT_EQ(st.strokeColor(), pristine.strokeColor());
        EXPECT_EQ(st.fillColorSpace(), pristine.fillColorSpace());
        EXPECT_TRUE(st.clipBezierPaths().empty());
        EXPECT_TRUE(st.cgPath().isEmpty());
        EXPECT_EQ(st.wordSpacing(), 0);
        EXPECT_EQ(st.characterSpacing(), 0);
    }
}

TEST(QVPDFConentParser, ExceptionsOfTheDelegatePassThrough) {
    struct Failing : harness::Recorder {
        void didScanPath(QVPDFConentParser&, const platform::Path&, bool, bool) override {
            throw std::runtime_error("exporter failed");
        }
    } failing;
    // Also from inside a form, through the form's own scan.
    EXPECT_THROW(run("0 0 m 1 1 l S", nullptr, nullptr, &failing), std::runtime_error);
    EXPECT_THROW(run("/Fm1 Do", formResources({{"Fm1", "", "0 0 m 1 1 l S"}}), nullptr, &failing),
                 std::runtime_error);
}

TEST(QVPDFConentParser, FontsFromTheResources) {
    auto fonts = [](fixtures::PdfBuilder& b) {
        std::string helvetica = b.addStandardFont("Helvetica");
        std::string courier = b.addStandardFont("Courier");
        // A dictionary the factory gives no font for.
        std::string broken = b.addObject("<< /Type /Font /Subtype /CIDFontType2 >>");
        return "<< /Font << /F1 " + helvetica + " /F2 " + broken +
               " >> /ExtGState << /GS1 << "
               "/Font [" +
               courier + " 9] >> >> >>";
    };
    struct FontCase {
        const char* name;
        std::string content;
        Events expected;
    };
    const FontCase cases[] = {
        // Helvetica: H 722, e 556, l 222, o 556 per 1000, summed in single precision.
        {"Tf selects a font of the resources",
         "BT /F1 12 Tf (Hello) Tj ET",
         {"text Hello adv 27.335999,0 tm [1 0 0 1 0 0]" + kId}},
        {"a font entry that gives no font selects none", "BT /F1 12 Tf /F2 10 Tf (x) Tj ET", {}},
        {"a name the resources do not hold keeps the font",
         "BT /F1 12 Tf /F9 10 Tf (l) Tj ET",
         {"text l adv 2.664,0 tm [1 0 0 1 0 0]" + kId}},
        // Courier: 600 per 1000 for every character.
        {"the graphics-state /Font sets font and size",
         "BT /F1 12 Tf /GS1 gs (ab) Tj ET",
         {"text ab adv 10.8,0 tm [1 0 0 1 0 0]" + kId}},
    };
    for (const FontCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(c.content, fonts).events, c.expected);
    }
}
