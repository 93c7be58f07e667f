#pragma once
// Type 4: a program in the PostScript calculator language (arithmetic,
// comparison, boolean and stack operators, `if` and `ifelse`), run on a
// stack machine of bounded depth with the clipped inputs pushed first; the
// outputs are the top n values.
//
// The program is compiled once, at the parse, into straight code with
// forward jumps, so a run is bounded by the program's length. A program that
// is malformed, too long or too deeply nested, or whose stack can grow past
// the limit on some way through its ifs, fails the parse; a run that fails (a
// type error, division by zero, an overflow only `copy` can cause) gives all
// outputs 0.

#include "pdf/function/QVPDFFunction.h"

#include <cstdint>
#include <vector>

class QVPDFPostScriptFunction : public QVPDFFunction {
public:
    /// The operand stack limit of the calculator language.
    static constexpr int kMaxStack = 100;
    /// Procedure nesting; real tint transforms nest two or three deep.
    static constexpr int kMaxNesting = 100;
    /// Instructions of one program; real ones have at most a few hundred.
    static constexpr size_t kMaxInstructions = 100000;

    int getType() const override { return 4; }
    bool parse(const platform::PdfObject& object, const platform::PdfObject& funcDict,
               QVPDFResourceCache& cache) override;
    void transformInput(const Values& input, Values& output) const override;

    bool ok() const { return ok_; }

    enum class Op : uint8_t;
    struct Instruction {
        Op op;
        int32_t target = 0;  ///< jumps: index of the instruction to go on with
        double real = 0.0;   ///< PushReal
        int64_t integer = 0; ///< PushInt
    };

private:
    std::vector<Instruction> code_;
    bool ok_ = false;
};
