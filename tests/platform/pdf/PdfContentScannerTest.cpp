// Operand semantics of the content scanner, inline images and damaged streams.
#include "fixtures/PdfBuilder.h"
#include "platform/pdf/PdfContentScanner.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

// Records, per operator, what each kind of pop answers for its operands.
struct Recorder {
    std::vector<std::string> log;
};

std::string describeTop(PdfScanner& s) {
    // Pops everything, last operand first, naming its type.
    std::string out;
    while (s.operandCount() > 0) {
        PdfObject o;
        s.popObject(o);
        switch (o.type()) {
        case PdfObjectType::Integer:
            out += "i" + std::to_string(*o.integer());
            break;
        case PdfObjectType::Real: {
            std::string v = std::to_string(*o.number());
            out += "r" + v.substr(0, v.find('.') + 3);
            break;
        }
        case PdfObjectType::Name:
            out += "/" + *o.name();
            break;
        case PdfObjectType::String:
            out += "(" + *o.string() + ")";
            break;
        case PdfObjectType::Array:
            out += "[" + std::to_string(o.arraySize()) + "]";
            break;
        case PdfObjectType::Dictionary:
            out += "<<" + std::to_string(o.keys().size()) + ">>";
            break;
        case PdfObjectType::Boolean:
            out += *o.boolean() ? "true" : "false";
            break;
        default:
            out += "null";
        }
        out += " ";
    }
    return out;
}

std::shared_ptr<PdfContentStream> streamOf(const std::string& data) {
    return std::make_shared<PdfContentStream>(nullptr, data);
}

std::vector<std::string> scanAll(const std::string& data, bool* clean = nullptr) {
    PdfOperatorTable table;
    auto cb = [](PdfScanner& s, void* info) {
        static_cast<Recorder*>(info)->log.push_back(describeTop(s));
    };
    for (const char* op : {"Tj", "TJ", "cm", "BDC", "gs", "d", "re", "EI"})
        table.setCallback(op, cb);
    Recorder r;
    PdfScanner scanner(streamOf(data), table, &r);
    bool ok = scanner.scan();
    if (clean)
        *clean = ok;
    return r.log;
}

} // namespace

TEST(PdfContentScanner, PopsLastOperandFirstAndChecksTypes) {
    PdfOperatorTable table;
    struct Result {
        bool number = false, integerOfReal = true, name = false, wrongType = true, empty = true;
        double n = 0;
        long long i = 0;
        std::string nm;
    } res;
    table.setCallback("op", [](PdfScanner& s, void* info) {
        auto& r = *static_cast<Result*>(info);
        r.name = s.popName(r.nm);            // /Name (last operand)
        r.integerOfReal = s.popInteger(r.i); // 2.5 is no integer: consumed, false
        r.number = s.popNumber(r.n);         // 7 as a number
        std::string str;
        r.wrongType = s.popString(str);      // the name /A is no string
        double d;
        r.empty = s.popNumber(d);            // nothing left
    });
    PdfScanner scanner(streamOf("/A 7 2.5 /Name op"), table, &res);
    EXPECT_TRUE(scanner.scan());
    EXPECT_TRUE(res.name);
    EXPECT_EQ(res.nm, "Name");
    EXPECT_FALSE(res.integerOfReal);
    EXPECT_TRUE(res.number);
    EXPECT_EQ(res.n, 7.0);
    EXPECT_FALSE(res.wrongType);
    EXPECT_FALSE(res.empty);
}

TEST(PdfContentScanner, ReadsEveryOperandKind) {
    auto log = scanAll(
        "(a\\(b) Tj [(x) -120 (y)] TJ 1 0 0 1 .5 -3. cm /OC <</MCID 3 /N [1 2]>> BDC "
        "/GS#201 gs [] 0 d % a comment\n 1 2 3 4 re true false null Tj");
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[0], "(a(b) ");
    EXPECT_EQ(log[1], "[3] ");
    EXPECT_EQ(log[2], "r-3.00 r0.50 i1 i0 i0 i1 ");
    EXPECT_EQ(log[3], "<<2>> /OC ");
    EXPECT_EQ(log[4], "/GS 1 "); // #20 decodes to a space
    EXPECT_EQ(log[5], "i0 [0] ");
    EXPECT_EQ(log[6], "i4 i3 i2 i1 ");
    EXPECT_EQ(log[7], "null false true ");
}

TEST(PdfContentScanner, UnknownOperatorsDropTheirOperands) {
    auto log = scanAll("1 2 3 foo (kept) Tj");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "(kept) ");
}

TEST(PdfContentScanner, InlineImageReachesEIAsOneStream) {
    fixtures::PdfBuilder b;
    fixtures::PageSpec page;
    page.content = "q 2 0 0 2 0 0 cm BI /W 2 /H 2 /CS /G /BPC 8 ID \x01\x02\x03\x04 EI Q";
    b.addPage(page);
    auto doc = PdfDocument::openFromMemory(b.build(), "inline");
    ASSERT_TRUE(doc);
    auto p = doc->page(1);
    auto content = std::make_shared<PdfContentStream>(p->documentImpl(), p->contentData());

    struct Seen {
        int count = 0;
        std::string data;
        std::optional<long long> width;
        std::optional<std::string> cs;
        size_t leftOver = 99;
    } seen;
    PdfOperatorTable table;
    table.setCallback("EI", [](PdfScanner& s, void* info) {
        auto& r = *static_cast<Seen*>(info);
        ++r.count;
        PdfObject stream;
        if (s.popStream(stream)) {
            r.width = stream.streamDictionary().getInteger("W");
            r.cs = stream.streamDictionary().getName("CS");
            r.data = stream.streamData().value_or("");
        }
        r.leftOver = s.operandCount();
    });
    PdfScanner scanner(content, table, &seen);
    EXPECT_TRUE(scanner.scan());
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.width, 2);
    EXPECT_EQ(seen.cs, "G");
    EXPECT_EQ(seen.data.substr(0, 4), std::string("\x01\x02\x03\x04"));
    EXPECT_EQ(seen.leftOver, 0u);
}

TEST(PdfContentScanner, DamagedStreamsEndWithoutCrashing) {
    struct Case {
        const char* content;
        size_t operatorsBeforeDamage;
    };
    const Case cases[] = {
        {"(a) Tj [(b) 3", 1},                 // ends inside an array
        {"(a) Tj <</K [1 2", 1},              // ends inside a dictionary
        {"(a) Tj (unterminated", 1},          // ends inside a string
        {"(a) Tj BI /W 1 /H 1 ID \x01", 1},   // inline image without EI
        {"(a) Tj ] >> } (b) Tj", 2},          // stray closers are skipped
        {"(a) Tj <zz> (b) Tj", 2},            // bad hex string
        {"", 0},
    };
    for (const Case& c : cases) {
        bool clean = true;
        auto log = scanAll(c.content, &clean);
        EXPECT_EQ(log.size(), c.operatorsBeforeDamage) << c.content;
        if (c.content[0] != '\0') {
            EXPECT_FALSE(clean) << c.content;
        }
    }
    // Deep nesting is cut off rather than recursing without bound.
    bool clean = true;
    auto log = scanAll(std::string(100000, '[') + " (x) Tj", &clean);
    EXPECT_FALSE(clean);
    EXPECT_TRUE(log.empty());
}

TEST(PdfContentScanner, HostileNumbersStayNumbers) {
    PdfOperatorTable table;
    std::vector<double> seen;
    table.setCallback("n", [](PdfScanner& s, void* info) {
        double v;
        while (s.popNumber(v))
            static_cast<std::vector<double>*>(info)->push_back(v);
    });
    // PDF has no exponent notation: a huge real is written out in full.
    PdfScanner scanner(streamOf(std::string(400, '9') + ".5 99999999999999999999999 -0.0 n"),
                       table, &seen);
    scanner.scan();
    ASSERT_EQ(seen.size(), 3u);
    for (double v : seen)
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_GT(seen[1], 1e22); // too long for 64 bits, still read as a number
}
