// PDF functions: the factory, each kind's evaluation, and malformed or hostile
// definitions, which must end with defined outputs.
#include "pdf/function/QVPDFFunction.h"
#include "pdf/QVPDFTestObjects.h"
#include "pdf/QVPDFResourceCache.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

/// A function definition: a dictionary, or a stream when `data` is set.
struct Definition {
    std::string dict;
    std::optional<std::string> data;
};

struct Row {
    std::string label;
    Definition definition;
    std::vector<double> input;
    /// The first outputs; every output after them must be 0.
    std::vector<double> expected;
};

Definition sampled(const std::string& entries, const std::string& data) {
    return {"<< /FunctionType 0 " + entries + " >>", data};
}
Definition exponential(const std::string& entries) {
    return {"<< /FunctionType 2 " + entries + " >>", std::nullopt};
}
Definition calculator(const std::string& program, const std::string& domain = "[0 1]",
                      const std::string& range = "[0 1]") {
    return {"<< /FunctionType 4 /Domain " + domain + " /Range " + range + " >>", program};
}

/// Evaluates every row's function, built in one document.
void checkRows(const std::vector<Row>& rows) {
    fixtures::PdfBuilder builder;
    std::vector<std::string> sources;
    for (const Row& row : rows)
        sources.push_back(row.definition.data
                              ? builder.addStream(row.definition.dict, *row.definition.data)
                              : row.definition.dict);
    testobjects::Objects objects = testobjects::make(builder, sources);
    ASSERT_EQ(objects.objects.size(), rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        SCOPED_TRACE(row.label);
        auto function = QVPDFFunction::FuntionWithObject(objects[r]);
        ASSERT_TRUE(function);
        QVPDFFunction::Values in{}, out{};
        out.fill(-7.0); // every output must be written
        for (size_t i = 0; i < row.input.size(); ++i)
            in[i] = row.input[i];
        function->transformInput(in, out);
        for (size_t j = 0; j < out.size(); ++j)
            EXPECT_NEAR(out[j], j < row.expected.size() ? row.expected[j] : 0.0, 1e-9)
                << "output " << j;
    }
}

} // namespace

TEST(QVPDFFunction, FactoryPicksTheKindOrNone) {
    fixtures::PdfBuilder builder;
    testobjects::Objects o = testobjects::make(
        builder, {"/Identity", "/Other", "<< /FunctionType 2.7 /Domain [0 1] /N 1 >>",
                  "<< /FunctionType 1 /Domain [0 1] >>", "<< /Domain [0 1] >>", "42",
                  "<< /FunctionType 3 /Domain [0 1] >>", "<< /FunctionType /Two >>"});
    auto identity = QVPDFFunction::FuntionWithObject(o[0]);
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->getType(), -1);
    QVPDFFunction::Values in{}, out{};
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = 0.03 * static_cast<double>(i);
    identity->transformInput(in, out);
    EXPECT_EQ(out, in);

    EXPECT_FALSE(QVPDFFunction::FuntionWithObject(o[1]));
    auto truncatedType = QVPDFFunction::FuntionWithObject(o[2]);
    ASSERT_TRUE(truncatedType);
    EXPECT_EQ(truncatedType->getType(), 2);
    EXPECT_FALSE(QVPDFFunction::FuntionWithObject(o[3])); // type 1 is not a PDF function type
    EXPECT_FALSE(QVPDFFunction::FuntionWithObject(o[4])); // no type
    EXPECT_FALSE(QVPDFFunction::FuntionWithObject(o[5]));
    // A malformed definition still gives its function, which then answers 0.
    auto failed = QVPDFFunction::FuntionWithObject(o[6]);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->getType(), 3);
    EXPECT_FALSE(QVPDFFunction::FuntionWithObject(o[7]));
}

TEST(QVPDFFunction, ExponentialRows) {
    checkRows({
        {"identity ramp", exponential("/Domain [0 1] /C0 [0] /C1 [1] /N 1"), {0.25}, {0.25}},
        {"below the domain", exponential("/Domain [0 1] /C0 [0] /C1 [1] /N 1"), {-0.5}, {0}},
        {"above the domain", exponential("/Domain [0 1] /C0 [0] /C1 [1] /N 1"), {2}, {1}},
        {"defaults C0 0 and C1 1", exponential("/Domain [0 1] /N 2"), {0.5}, {0.25}},
        {"square root", exponential("/Domain [0 1] /N 0.5"), {0.25}, {0.5}},
        {"three outputs",
         exponential("/Domain [0 1] /C0 [1 0 0.2] /C1 [0 0 1] /N 1"),
         {0.5},
         {0.5, 0, 0.6}},
        {"clipped to the range",
         exponential("/Domain [0 1] /Range [0 1] /C0 [0] /C1 [2] /N 1"),
         {0.75},
         {1}},
        {"range without C0 needs one output",
         exponential("/Domain [0 1] /Range [0 1 0 1] /C1 [1 1] /N 1"),
         {0.5},
         {0, 0}},
        {"C0 count differs from the range",
         exponential("/Domain [0 1] /Range [0 1] /C0 [0 0] /C1 [1 1] /N 1"),
         {0.5},
         {0}},
        // Failed parses evaluate with what they read: C1 and the exponent stay 0.
        {"C1 count differs from C0",
         exponential("/Domain [0 1] /C0 [0.5 0.5] /C1 [1] /N 1"),
         {0.5},
         {0, 0}},
        {"no exponent", exponential("/Domain [0 1] /C0 [0.2] /C1 [1]"), {0.5}, {1}},
        {"two inputs", exponential("/Domain [0 1 0 1] /N 1"), {0.5}, {}},
        {"fractional power of a negative base",
         exponential("/Domain [-1 1] /C0 [0] /C1 [1] /N 0.5"),
         {-0.5},
         {0}},
    });
}

TEST(QVPDFFunction, SampledRows) {
    const std::string oneIn = "/Domain [0 1] /Range [0 1] ";
    checkRows({
        {"8 bits, between samples",
         sampled(oneIn + "/Size [2] /BitsPerSample 8", bytes({0, 255})),
         {0.5},
         {0.5}},
        {"8 bits, last sample",
         sampled(oneIn + "/Size [2] /BitsPerSample 8", bytes({0, 255})),
         {1.0},
         {1.0}},
        {"inputs are not clipped, the grid is",
         sampled(oneIn + "/Size [2] /BitsPerSample 8", bytes({51, 255})),
         {-3},
         {0.2}},
        {"1 bit",
         sampled("/Domain [0 7] /Range [0 1] /Size [8] /BitsPerSample 1", bytes({0b10110010})),
         {2},
         {1}},
        {"1 bit, fifth sample",
         sampled("/Domain [0 7] /Range [0 1] /Size [8] /BitsPerSample 1", bytes({0b10110010})),
         {4},
         {0}},
        {"2 bits",
         sampled("/Domain [0 3] /Range [0 1] /Size [4] /BitsPerSample 2", bytes({0b00011011})),
         {1.5},
         {0.5}},
        {"4 bits, high nibble first",
         sampled(oneIn + "/Size [2] /BitsPerSample 4", bytes({0x3C})),
         {0},
         {3.0 / 15}},
        {"4 bits, low nibble second",
         sampled(oneIn + "/Size [2] /BitsPerSample 4", bytes({0x3C})),
         {1},
         {12.0 / 15}},
        {"12 bits across bytes",
         sampled(oneIn + "/Size [2] /BitsPerSample 12", bytes({0xAB, 0xCD, 0xEF})),
         {1},
         {0xDEF / 4095.0}},
        {"16 bits",
         sampled(oneIn + "/Size [2] /BitsPerSample 16", bytes({0x80, 0x00, 0xFF, 0xFF})),
         {0},
         {32768.0 / 65535}},
        {"24 bits",
         sampled(oneIn + "/Size [2] /BitsPerSample 24", bytes({0, 0, 0, 0xFF, 0xFF, 0xFF})),
         {0.25},
         {0.25}},
        {"32 bits",
         sampled(oneIn + "/Size [2] /BitsPerSample 32",
                 bytes({0x80, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF})),
         {0},
         {2147483648.0 / 4294967295.0}},
        // Samples s(x, y), x varying fastest: 0, 51, 102, 255.
        {"bilinear, centre",
         sampled("/Domain [0 1 0 1] /Range [0 1] /Size [2 2] /BitsPerSample 8",
                 bytes({0, 51, 102, 255})),
         {0.5, 0.5},
         {0.4}},
        {"bilinear, x fastest",
         sampled("/Domain [0 1 0 1] /Range [0 1] /Size [2 2] /BitsPerSample 8",
                 bytes({0, 51, 102, 255})),
         {1, 0},
         {0.2}},
        {"two outputs per grid point",
         sampled("/Domain [0 1] /Range [0 1 0 1] /Size [2] /BitsPerSample 8",
                 bytes({0, 255, 255, 0})),
         {0.25},
         {0.25, 0.75}},
        {"decode inverts",
         sampled(oneIn + "/Size [2] /BitsPerSample 8 /Decode [1 0]", bytes({0, 255})),
         {0.25},
         {0.75}},
        {"encode reverses",
         sampled(oneIn + "/Size [3] /BitsPerSample 8 /Encode [2 0]", bytes({0, 51, 255})),
         {0},
         {1}},
        {"range clips the decoded value",
         sampled(oneIn + "/Size [2] /BitsPerSample 8 /Decode [0 2]", bytes({0, 255})),
         {0.75},
         {1}},
        {"one grid point",
         sampled(oneIn + "/Size [1] /BitsPerSample 8", bytes({102})),
         {0.9},
         {0.4}},
        // Definitions that fail their parse: all outputs 0.
        {"no range",
         sampled("/Domain [0 1] /Size [2] /BitsPerSample 8", bytes({255, 255})),
         {0.5},
         {}},
        {"size count differs from the inputs",
         sampled(oneIn + "/Size [2 2] /BitsPerSample 8", bytes({255, 255, 255, 255})),
         {0.5},
         {}},
        {"seventeen inputs",
         sampled("/Domain [0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1]"
                 " /Range [0 1] /Size [1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1] /BitsPerSample 8",
                 bytes({255})),
         {0.5},
         {}},
        {"size zero", sampled(oneIn + "/Size [0] /BitsPerSample 8", bytes({255})), {0.5}, {}},
        {"sizes past any table",
         sampled("/Domain [0 1 0 1 0 1] /Range [0 1] /Size [100000 100000 100000] "
                 "/BitsPerSample 8",
                 bytes({255, 255})),
         {0.5, 0.5, 0.5},
         {}},
        {"short data",
         sampled(oneIn + "/Size [4] /BitsPerSample 16", bytes({255, 255, 255})),
         {0.5},
         {}},
        {"no bits per sample", sampled(oneIn + "/Size [2]", bytes({255, 255})), {0.5}, {}},
        {"33 bits",
         sampled(oneIn + "/Size [2] /BitsPerSample 33", std::string(9, '\xff')),
         {0.5},
         {}},
        {"a dictionary, not a stream",
         {"<< /FunctionType 0 /Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8 >>",
          std::nullopt},
         {0.5},
         {}},
        {"decode entry not a number",
         sampled(oneIn + "/Size [2] /BitsPerSample 8 /Decode [0 /One]", bytes({255, 255})),
         {0.5},
         {}},
    });
}

TEST(QVPDFFunction, StitchingRows) {
    const std::string up = "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>";
    const std::string down = "<< /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0] /N 1 >>";
    auto stitch = [&](const std::string& entries) {
        return Definition{"<< /FunctionType 3 /Domain [0 1] " + entries + " >>", std::nullopt};
    };
    const std::string twoPieces =
        "/Functions [" + up + " " + down + "] /Bounds [0.5] /Encode [0 1 0 1]";
    checkRows({
        {"first piece", stitch(twoPieces), {0.25}, {0.5}},
        {"a bound starts the next piece", stitch(twoPieces), {0.5}, {1}},
        {"second piece", stitch(twoPieces), {0.75}, {0.5}},
        {"domain end", stitch(twoPieces), {1}, {0}},
        {"clipped to the domain", stitch(twoPieces), {-1}, {0}},
        {"encode reverses a piece",
         stitch("/Functions [" + up + " " + up + "] /Bounds [0.5] /Encode [1 0 0 1]"),
         {0.125},
         {0.75}},
        {"range clips, outputs of the pieces",
         stitch("/Range [0 0.5 0 1] /Functions [<< /FunctionType 2 /Domain [0 1] /C0 [0 0] "
                "/C1 [1 1] /N 1 >>] /Bounds [] /Encode [0 1]"),
         {0.75},
         {0.5, 0.75}},
        {"the identity as a piece",
         stitch("/Functions [/Identity " + up + "] /Bounds [0.5] /Encode [0 1 1 0]"),
         {0.25},
         {0.5}},
        {"bounds count differs",
         stitch("/Functions [" + up + " " + down + "] /Encode [0 1 0 1]"),
         {0.25},
         {}},
        {"encode count differs",
         stitch("/Functions [" + up + " " + down + "] /Bounds [0.5] /Encode [0 1]"),
         {0.25},
         {}},
        {"bounds decrease",
         stitch("/Functions [" + up + " " + down + " " + up +
                "] /Bounds [0.6 0.3] /Encode [0 1 0 1 0 1]"),
         {0.25},
         {}},
        {"a piece that is no function",
         stitch("/Functions [" + up + " 7] /Bounds [0.5] /Encode [0 1 0 1]"),
         {0.25},
         {}},
        {"a piece of two inputs",
         stitch("/Functions [<< /FunctionType 2 /Domain [0 1 0 1] /N 1 >>] /Bounds [] "
                "/Encode [0 1]"),
         {0.25},
         {}},
    });
}

TEST(QVPDFFunction, CalculatorRows) {
    const std::string wide = "[-1000 1000]";
    checkRows({
        {"complement", calculator("{1 exch sub}"), {0.25}, {0.75}},
        {"ifelse, then", calculator("{dup 0.5 gt {pop 1} {2 mul} ifelse}"), {0.75}, {1}},
        {"ifelse, else", calculator("{dup 0.5 gt {pop 1} {2 mul} ifelse}"), {0.25}, {0.5}},
        {"if", calculator("{dup 0.5 lt {pop 0} if}"), {0.25}, {0}},
        {"nested ifs",
         calculator("{dup 0.5 gt {0.75 gt {3} {2} ifelse} {pop 1} ifelse}", "[0 1]", "[0 9]"),
         {0.9},
         {3}},
        {"input clipped to the domain", calculator("{}"), {2}, {1}},
        {"comments and line breaks",
         calculator("{ % invert\n 1 exch\r sub % done\n}"),
         {0.25},
         {0.75}},
        {"two inputs, two outputs",
         calculator("{exch}", "[0 1 0 1]", "[0 1 0 1]"),
         {0.25, 0.5},
         {0.5, 0.25}},
        {"spot colour to CMYK",
         calculator("{dup 0.2 mul exch dup 0.9 mul exch 0 exch 0.1 mul}", "[0 1]",
                    "[0 1 0 1 0 1 0 1]"),
         {0.5},
         {0.1, 0.45, 0, 0.05}},
        {"the top values are the outputs",
         calculator("{5 1 index add}", "[0 1]", wide),
         {0.25},
         {5.25}},
        {"roll", calculator("{10 20 3 1 roll add sub}", "[0 1]", wide), {0.25}, {9.75}},
        {"copy", calculator("{2 3 2 copy mul add add add}", "[0 1]", wide), {0.25}, {11.25}},
        {"idiv and mod",
         calculator("{-7 2 idiv -7 2 mod add add}", "[0 1]", wide),
         {0.25},
         {-3.75}},
        {"bitshift",
         calculator("{1 3 bitshift 16 -2 bitshift add add}", "[0 1]", wide),
         {0.25},
         {12.25}},
        {"atan in degrees", calculator("{pop 1 1 atan 0 -1 atan add}", "[0 1]", wide), {0}, {225}},
        {"sqrt exp log ln",
         calculator("{pop 16 sqrt 2 10 exp 100 log 1 ln add add add}", "[0 1]", "[0 2000]"),
         {0},
         {1030}},
        {"sin cos in degrees", calculator("{pop 90 sin 180 cos sub}", "[0 1]", wide), {0}, {2}},
        {"round floor ceiling truncate",
         calculator("{pop 2.5 round -2.5 round -1.5 floor -1.5 ceiling -1.5 truncate "
                    "add add add add}",
                    "[0 1]", wide),
         {0},
         {-3}},
        {"abs neg cvi cvr div",
         calculator("{neg -3 abs 3.7 cvi 7 cvr 2 div add add add}", "[0 1]", wide),
         {0.5},
         {9}},
        {"boolean operators",
         calculator("{pop true false or {1} {0} ifelse true false and {2} {0} ifelse "
                    "true true xor {4} {0} ifelse false not {8} {0} ifelse add add add}",
                    "[0 1]", wide),
         {0},
         {9}},
        {"bitwise operators",
         calculator("{pop 5 3 and 5 3 or 5 3 xor 0 not add add add}", "[0 1]", wide),
         {0},
         {13}},
        {"comparisons",
         calculator("{pop 1 1.0 eq 1 2 ne and 2 2 ge and 1 2 le and 1 2 lt and 3 2 gt and "
                    "true 1 eq not and {7} {0} ifelse}",
                    "[0 1]", wide),
         {0},
         {7}},
        {"integer overflow becomes real",
         calculator("{pop 2147483647 1 add 2147483647 sub}", "[0 1]", wide),
         {0},
         {1}},
        // Runs that fail give all outputs 0.
        {"division by zero", calculator("{0 div}"), {0.5}, {}},
        {"idiv of a real", calculator("{2 idiv}"), {0.5}, {}},
        {"stack underflow", calculator("{pop pop}"), {0.5}, {}},
        {"a number as condition", calculator("{dup {pop 1} if}"), {0.5}, {}},
        {"copy past the stack limit",
         calculator("{1 copy 2 copy 4 copy 8 copy 16 copy 32 copy 64 copy pop}"),
         {0.5},
         {}},
        {"fewer values than outputs", calculator("{}", "[0 1]", "[0 1 0 1]"), {0.5}, {}},
        {"a boolean output", calculator("{pop true}"), {0.5}, {}},
        // Programs that fail their parse.
        {"unknown operator", calculator("{1 exch foo}"), {0.25}, {}},
        {"unbalanced", calculator("{1 exch sub"), {0.25}, {}},
        {"text after the program", calculator("{1 exch sub} 2"), {0.25}, {}},
        {"a procedure without if", calculator("{{1}}"), {0.25}, {}},
        {"if without a procedure", calculator("{true if}"), {0.25}, {}},
        {"a string", calculator("{(a) pop}"), {0.25}, {}},
        {"no range",
         {"<< /FunctionType 4 /Domain [0 1] >>", std::string("{1 exch sub}")},
         {0.25},
         {}},
        {"not a stream",
         {"<< /FunctionType 4 /Domain [0 1] /Range [0 1] >>", std::nullopt},
         {0.25},
         {}},
        {"pushes past the stack limit",
         calculator("{" +
                    [] {
                        std::string s;
                        for (int i = 0; i < 100; ++i)
                            s += "1 ";
                        return s;
                    }() +
                    "}"),
         {0.25},
         {}},
    });
}

TEST(QVPDFFunction, HostileCalculatorProgramsEndWithDefinedOutputs) {
    std::string deep(1000000, '{');
    deep += std::string(1000000, '}');
    std::string longProgram = "{";
    for (int i = 0; i < 1000000; ++i)
        longProgram += "dup pop ";
    longProgram += "}";
    std::string pushes = "{";
    for (int i = 0; i < 1000000; ++i)
        pushes += "1 ";
    pushes += "}";
    std::string nested = "{";
    for (int i = 0; i < 50; ++i)
        nested += "true {";
    nested += "1 exch sub";
    for (int i = 0; i < 50; ++i)
        nested += "} if";
    nested += "}";
    checkRows({
        {"a million nested procedures", calculator(deep), {0.25}, {}},
        {"a million instructions", calculator(longProgram), {0.25}, {}},
        {"a million pushes", calculator(pushes), {0.25}, {}},
        {"fifty nested ifs are fine", calculator(nested), {0.25}, {0.75}},
    });
}

TEST(QVPDFFunction, DefinitionsThatContainThemselvesStop) {
    fixtures::PdfBuilder builder;
    std::string self = builder.reserveObject();
    builder.setObject(self, "<< /FunctionType 3 /Domain [0 1] /Functions [" + self +
                                "] /Bounds [] /Encode [0 1] >>");
    std::string a = builder.reserveObject(), b = builder.reserveObject();
    builder.setObject(a, "<< /FunctionType 3 /Domain [0 1] /Functions [" + b +
                             "] /Bounds [] /Encode [0 1] >>");
    builder.setObject(b, "<< /FunctionType 3 /Domain [0 1] /Functions [" + a +
                             "] /Bounds [] /Encode [0 1] >>");
    testobjects::Objects o = testobjects::make(builder, {self, a});
    for (size_t i = 0; i < 2; ++i) {
        auto function = QVPDFFunction::FuntionWithObject(o[i]);
        ASSERT_TRUE(function);
        QVPDFFunction::Values in{}, out{};
        in[0] = 0.5;
        function->transformInput(in, out);
        EXPECT_EQ(out, QVPDFFunction::Values{});
    }
}

TEST(QVPDFFunction, CacheSharesOneParsePerObject) {
    fixtures::PdfBuilder builder;
    std::string shared =
        builder.addObject("<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>");
    testobjects::Objects o = testobjects::make(
        builder, {shared, shared, "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>"});
    QVPDFResourceCache cache;
    auto first = QVPDFFunction::FuntionWithObject(o[0], cache);
    EXPECT_EQ(QVPDFFunction::FuntionWithObject(o[1], cache), first);
    // Direct objects have no identity to share by.
    EXPECT_NE(QVPDFFunction::FuntionWithObject(o[2], cache),
              QVPDFFunction::FuntionWithObject(o[2], cache));
    // Without a cache each call parses anew.
    EXPECT_NE(QVPDFFunction::FuntionWithObject(o[0]), first);
}
