#include "pdf/function/QVPDFPostScriptFunction.h"

#include "platform/NumberFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <numbers>
#include <string_view>

enum class QVPDFPostScriptFunction::Op : uint8_t {
    // Operands.
    PushInt,
    PushReal,
    True,
    False,
    // Arithmetic.
    Abs,
    Add,
    Atan,
    Ceiling,
    Cos,
    Cvi,
    Cvr,
    Div,
    Exp,
    Floor,
    Idiv,
    Ln,
    Log,
    Mod,
    Mul,
    Neg,
    Round,
    Sin,
    Sqrt,
    Sub,
    Truncate,
    // Relational, boolean and bitwise.
    And,
    Bitshift,
    Eq,
    Ge,
    Gt,
    Le,
    Lt,
    Ne,
    Not,
    Or,
    Xor,
    // Stack.
    Copy,
    Dup,
    Exch,
    Index,
    Pop,
    Roll,
    // Control flow made from `if` and `ifelse`.
    JumpIfFalse,
    Jump,
};

namespace {

using Op = QVPDFPostScriptFunction::Op;
using Instruction = QVPDFPostScriptFunction::Instruction;

struct OperatorEntry {
    std::string_view name;
    Op op;
    int pops;   ///< operands taken
    int pushes; ///< results left; -1: as many as an operand says (copy)
};

constexpr OperatorEntry kOperators[] = {
    {"abs", Op::Abs, 1, 1},
    {"add", Op::Add, 2, 1},
    {"atan", Op::Atan, 2, 1},
    {"ceiling", Op::Ceiling, 1, 1},
    {"cos", Op::Cos, 1, 1},
    {"cvi", Op::Cvi, 1, 1},
    {"cvr", Op::Cvr, 1, 1},
    {"div", Op::Div, 2, 1},
    {"exp", Op::Exp, 2, 1},
    {"floor", Op::Floor, 1, 1},
    {"idiv", Op::Idiv, 2, 1},
    {"ln", Op::Ln, 1, 1},
    {"log", Op::Log, 1, 1},
    {"mod", Op::Mod, 2, 1},
    {"mul", Op::Mul, 2, 1},
    {"neg", Op::Neg, 1, 1},
    {"round", Op::Round, 1, 1},
    {"sin", Op::Sin, 1, 1},
    {"sqrt", Op::Sqrt, 1, 1},
    {"sub", Op::Sub, 2, 1},
    {"truncate", Op::Truncate, 1, 1},
    {"and", Op::And, 2, 1},
    {"bitshift", Op::Bitshift, 2, 1},
    {"eq", Op::Eq, 2, 1},
    {"false", Op::False, 0, 1},
    {"ge", Op::Ge, 2, 1},
    {"gt", Op::Gt, 2, 1},
    {"le", Op::Le, 2, 1},
    {"lt", Op::Lt, 2, 1},
    {"ne", Op::Ne, 2, 1},
    {"not", Op::Not, 1, 1},
    {"or", Op::Or, 2, 1},
    {"true", Op::True, 0, 1},
    {"xor", Op::Xor, 2, 1},
    {"copy", Op::Copy, 1, -1},
    {"dup", Op::Dup, 1, 2},
    {"exch", Op::Exch, 2, 2},
    {"index", Op::Index, 2, 2},
    {"pop", Op::Pop, 1, 0},
    {"roll", Op::Roll, 2, 0},
};

// ---- Reading the program text into procedures -------------------------------

/// One element of a procedure: an instruction, or a nested procedure.
struct Item {
    Instruction instruction{};
    int32_t procedure = -1; ///< index into the procedure list, or -1
    const OperatorEntry* entry = nullptr;
    bool isIf = false, isIfElse = false;
};

bool isWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\0';
}
bool isDelimiter(char c) {
    return c == '{' || c == '}' || c == '(' || c == ')' || c == '<' || c == '>' || c == '[' ||
           c == ']' || c == '/' || c == '%';
}

/// A number token: integers of 32 bits stay integers, others become reals.
bool readNumber(std::string_view token, Instruction& out) {
    char first = token.front();
    if (!(std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '+' ||
          first == '.'))
        return false;
    if (auto i = platform::parseInteger(token)) {
        if (*i >= std::numeric_limits<int32_t>::min() &&
            *i <= std::numeric_limits<int32_t>::max()) {
            out = {Op::PushInt, 0, 0.0, *i};
            return true;
        }
    }
    // "inf" and "nan" are no numbers here; from_chars would take them.
    for (char c : token)
        if (std::isalpha(static_cast<unsigned char>(c)) && c != 'e' && c != 'E')
            return false;
    auto r = platform::parseDouble(token);
    if (!r || !std::isfinite(*r))
        return false;
    out = {Op::PushReal, 0, *r, 0};
    return true;
}

/// Splits the program into procedures; procedure 0 is the outermost. False
/// when the text is not one well-formed procedure or exceeds the limits.
bool readProcedures(std::string_view text, std::vector<std::vector<Item>>& procedures) {
    std::vector<int32_t> open;
    size_t items = 0;
    bool closed = false;
    size_t p = 0;
    while (p < text.size()) {
        char c = text[p];
        if (isWhite(c)) {
            ++p;
            continue;
        }
        if (c == '%') {
            while (p < text.size() && text[p] != '\n' && text[p] != '\r')
                ++p;
            continue;
        }
        if (closed)
            return false; // text after the program
        if (c == '{') {
            if (static_cast<int>(open.size()) >= QVPDFPostScriptFunction::kMaxNesting)
                return false;
            int32_t index = static_cast<int32_t>(procedures.size());
            if (!open.empty()) {
                Item item;
                item.procedure = index;
                procedures[static_cast<size_t>(open.back())].push_back(item);
            }
            procedures.emplace_back();
            open.push_back(index);
            ++p;
            continue;
        }
        if (c == '}') {
            if (open.empty())
                return false;
            open.pop_back();
            closed = open.empty();
            ++p;
            continue;
        }
        if (open.empty() || isDelimiter(c))
            return false;
        size_t start = p;
        while (p < text.size() && !isWhite(text[p]) && !isDelimiter(text[p]))
            ++p;
        std::string_view token = text.substr(start, p - start);
        if (++items > QVPDFPostScriptFunction::kMaxInstructions)
            return false;
        Item item;
        if (token == "if") {
            item.isIf = true;
        } else if (token == "ifelse") {
            item.isIfElse = true;
        } else if (!readNumber(token, item.instruction)) {
            auto it = std::find_if(std::begin(kOperators), std::end(kOperators),
                                   [&](const OperatorEntry& e) { return e.name == token; });
            if (it == std::end(kOperators))
                return false;
            item.entry = &*it;
            item.instruction.op = it->op;
        }
        procedures[static_cast<size_t>(open.back())].push_back(item);
    }
    return closed;
}

// ---- Compiling to straight code, with a bound on the stack depth ----------

/// The deepest the stack may be at a point of the program, over every way
/// through the ifs before it.
struct Depth {
    int high = 0;
    bool unbounded = false; ///< after `copy` the bound is unknown
};

Depth merge(const Depth& a, const Depth& b) {
    return {std::max(a.high, b.high), a.unbounded || b.unbounded};
}

class Compiler {
public:
    explicit Compiler(const std::vector<std::vector<Item>>& procedures) : procedures_(procedures) {}

    /// Emits procedure `index`; false when it is malformed or must overflow.
    bool emit(size_t index, Depth& depth, std::vector<Instruction>& code) {
        const std::vector<Item>& items = procedures_[index];
        for (size_t k = 0; k < items.size(); ++k) {
            const Item& item = items[k];
            if (item.procedure >= 0) {
                // A procedure is only the body of a following if or ifelse.
                if (k + 1 < items.size() && items[k + 1].isIf) {
                    popCondition(depth);
                    size_t jump = code.size();
                    code.push_back({Op::JumpIfFalse});
                    Depth taken = depth;
                    if (!emit(static_cast<size_t>(item.procedure), taken, code))
                        return false;
                    code[jump].target = static_cast<int32_t>(code.size());
                    depth = merge(depth, taken);
                    k += 1;
                } else if (k + 2 < items.size() && items[k + 1].procedure >= 0 &&
                           items[k + 2].isIfElse) {
                    popCondition(depth);
                    size_t jumpToElse = code.size();
                    code.push_back({Op::JumpIfFalse});
                    Depth thenDepth = depth;
                    if (!emit(static_cast<size_t>(item.procedure), thenDepth, code))
                        return false;
                    size_t jumpToEnd = code.size();
                    code.push_back({Op::Jump});
                    code[jumpToElse].target = static_cast<int32_t>(code.size());
                    Depth elseDepth = depth;
                    if (!emit(static_cast<size_t>(items[k + 1].procedure), elseDepth, code))
                        return false;
                    code[jumpToEnd].target = static_cast<int32_t>(code.size());
                    depth = merge(thenDepth, elseDepth);
                    k += 2;
                } else {
                    return false;
                }
                continue;
            }
            if (item.isIf || item.isIfElse)
                return false; // without its procedures
            if (item.entry) {
                if (item.entry->pushes < 0)
                    depth.unbounded = true;
                else
                    depth.high = std::max(0, depth.high - item.entry->pops) + item.entry->pushes;
            } else {
                depth.high += 1;
            }
            if (!depth.unbounded && depth.high > QVPDFPostScriptFunction::kMaxStack)
                return false;
            code.push_back(item.instruction);
        }
        return true;
    }

private:
    static void popCondition(Depth& depth) { depth.high = std::max(0, depth.high - 1); }

    const std::vector<std::vector<Item>>& procedures_;
};

// ---- Running ----------------------------------------------------------------

struct Value {
    enum Kind : uint8_t { Int, Real, Bool } kind = Int;
    int64_t integer = 0; ///< Int, and Bool as 0 or 1
    double real = 0.0;   ///< Real

    double number() const { return kind == Real ? real : static_cast<double>(integer); }
    bool isNumber() const { return kind != Bool; }
};

Value makeInt(int64_t v) {
    // Integer results beyond 32 bits become reals, as in the language.
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return {Value::Real, 0, static_cast<double>(v)};
    return {Value::Int, v, 0.0};
}
Value makeReal(double v) {
    return {Value::Real, 0, v};
}
Value makeBool(bool v) {
    return {Value::Bool, v ? 1 : 0, 0.0};
}

class Machine {
public:
    static constexpr size_t kLimit = QVPDFPostScriptFunction::kMaxStack;

    bool push(const Value& v) {
        if (size_ >= kLimit)
            return false;
        stack_[size_++] = v;
        return true;
    }
    bool pop(Value& v) {
        if (size_ == 0)
            return false;
        v = stack_[--size_];
        return true;
    }
    bool popNumbers(Value& a, Value& b) { return pop(b) && pop(a) && a.isNumber() && b.isNumber(); }

    /// Runs the code; false on any error.
    bool run(const std::vector<Instruction>& code);

    size_t size() const { return size_; }
    const Value& at(size_t i) const { return stack_[i]; }

private:
    bool step(const Instruction& in);

    std::array<Value, kLimit> stack_{};
    size_t size_ = 0;
};

constexpr double kDegrees = 180.0 / std::numbers::pi;

bool Machine::run(const std::vector<Instruction>& code) {
    size_t pc = 0;
    while (pc < code.size()) {
        const Instruction& in = code[pc];
        if (in.op == Op::Jump) {
            pc = static_cast<size_t>(in.target);
            continue;
        }
        if (in.op == Op::JumpIfFalse) {
            Value condition;
            if (!pop(condition) || condition.kind != Value::Bool)
                return false;
            pc = condition.integer ? pc + 1 : static_cast<size_t>(in.target);
            continue;
        }
        if (!step(in))
            return false;
        ++pc;
    }
    return true;
}

bool Machine::step(const Instruction& in) {
    Value a, b;
    switch (in.op) {
    case Op::PushInt:
        return push(makeInt(in.integer));
    case Op::PushReal:
        return push(makeReal(in.real));
    case Op::True:
        return push(makeBool(true));
    case Op::False:
        return push(makeBool(false));

    case Op::Abs:
    case Op::Neg:
    case Op::Ceiling:
    case Op::Floor:
    case Op::Round:
    case Op::Truncate:
        if (!pop(a) || !a.isNumber())
            return false;
        if (a.kind == Value::Int) {
            int64_t v = a.integer;
            if (in.op == Op::Abs)
                v = v < 0 ? -v : v;
            else if (in.op == Op::Neg)
                v = -v;
            return push(makeInt(v));
        }
        switch (in.op) {
        case Op::Abs:
            return push(makeReal(std::fabs(a.real)));
        case Op::Neg:
            return push(makeReal(-a.real));
        case Op::Ceiling:
            return push(makeReal(std::ceil(a.real)));
        case Op::Floor:
            return push(makeReal(std::floor(a.real)));
        case Op::Round:
            return push(makeReal(std::floor(a.real + 0.5)));
        default:
            return push(makeReal(std::trunc(a.real)));
        }

    case Op::Add:
    case Op::Sub:
    case Op::Mul:
        if (!popNumbers(a, b))
            return false;
        if (a.kind == Value::Int && b.kind == Value::Int) {
            // 32-bit operands cannot overflow 64 bits here.
            int64_t v = in.op == Op::Add   ? a.integer + b.integer
                        : in.op == Op::Sub ? a.integer - b.integer
                                           : a.integer * b.integer;
            return push(makeInt(v));
        }
        return push(makeReal(in.op == Op::Add   ? a.number() + b.number()
                             : in.op == Op::Sub ? a.number() - b.number()
                                                : a.number() * b.number()));
    case Op::Div:
        if (!popNumbers(a, b) || b.number() == 0.0)
            return false;
        return push(makeReal(a.number() / b.number()));
    case Op::Idiv:
    case Op::Mod:
        if (!popNumbers(a, b) || a.kind != Value::Int || b.kind != Value::Int || b.integer == 0)
            return false;
        return push(makeInt(in.op == Op::Idiv ? a.integer / b.integer : a.integer % b.integer));
    case Op::Atan: {
        if (!popNumbers(a, b) || (a.number() == 0.0 && b.number() == 0.0))
            return false;
        double angle = std::atan2(a.number(), b.number()) * kDegrees;
        return push(makeReal(angle < 0 ? angle + 360.0 : angle));
    }
    case Op::Cos:
    case Op::Sin:
        if (!pop(a) || !a.isNumber())
            return false;
        return push(makeReal(in.op == Op::Cos ? std::cos(a.number() / kDegrees)
                                              : std::sin(a.number() / kDegrees)));
    case Op::Cvi: {
        if (!pop(a) || !a.isNumber())
            return false;
        double v = std::trunc(a.number());
        if (!(v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()))
            return false;
        return push(makeInt(static_cast<int64_t>(v)));
    }
    case Op::Cvr:
        if (!pop(a) || !a.isNumber())
            return false;
        return push(makeReal(a.number()));
    case Op::Exp:
        if (!popNumbers(a, b))
            return false;
        return push(makeReal(std::pow(a.number(), b.number())));
    case Op::Ln:
    case Op::Log:
        if (!pop(a) || !a.isNumber() || !(a.number() > 0.0))
            return false;
        return push(makeReal(in.op == Op::Ln ? std::log(a.number()) : std::log10(a.number())));
    case Op::Sqrt:
        if (!pop(a) || !a.isNumber() || !(a.number() >= 0.0))
            return false;
        return push(makeReal(std::sqrt(a.number())));

    case Op::And:
    case Op::Or:
    case Op::Xor:
        if (!pop(b) || !pop(a) || a.kind != b.kind || a.kind == Value::Real)
            return false;
        {
            int64_t v = in.op == Op::And  ? (a.integer & b.integer)
                        : in.op == Op::Or ? (a.integer | b.integer)
                                          : (a.integer ^ b.integer);
            return push(a.kind == Value::Bool ? makeBool(v != 0) : makeInt(v));
        }
    case Op::Not:
        if (!pop(a) || a.kind == Value::Real)
            return false;
        return push(a.kind == Value::Bool ? makeBool(a.integer == 0)
                                          : makeInt(~static_cast<int32_t>(a.integer)));
    case Op::Bitshift: {
        if (!pop(b) || !pop(a) || a.kind != Value::Int || b.kind != Value::Int)
            return false;
        uint32_t bits = static_cast<uint32_t>(static_cast<int32_t>(a.integer));
        int64_t shift = b.integer;
        uint32_t v = shift >= 32 || shift <= -32 ? 0 : shift >= 0 ? bits << shift : bits >> -shift;
        return push(makeInt(static_cast<int32_t>(v)));
    }
    case Op::Eq:
    case Op::Ne: {
        if (!pop(b) || !pop(a))
            return false;
        bool equal = a.isNumber() && b.isNumber() ? a.number() == b.number()
                     : a.kind == b.kind           ? a.integer == b.integer
                                                  : false;
        return push(makeBool(in.op == Op::Eq ? equal : !equal));
    }
    case Op::Ge:
    case Op::Gt:
    case Op::Le:
    case Op::Lt:
        if (!popNumbers(a, b))
            return false;
        return push(makeBool(in.op == Op::Ge   ? a.number() >= b.number()
                             : in.op == Op::Gt ? a.number() > b.number()
                             : in.op == Op::Le ? a.number() <= b.number()
                                               : a.number() < b.number()));

    case Op::Copy: {
        if (!pop(a) || a.kind != Value::Int || a.integer < 0 ||
            a.integer > static_cast<int64_t>(size_))
            return false;
        size_t count = static_cast<size_t>(a.integer), from = size_ - count;
        for (size_t i = 0; i < count; ++i)
            if (!push(stack_[from + i]))
                return false;
        return true;
    }
    case Op::Dup:
        if (size_ == 0)
            return false;
        return push(stack_[size_ - 1]);
    case Op::Exch:
        if (size_ < 2)
            return false;
        std::swap(stack_[size_ - 1], stack_[size_ - 2]);
        return true;
    case Op::Index:
        if (!pop(a) || a.kind != Value::Int || a.integer < 0 ||
            a.integer >= static_cast<int64_t>(size_))
            return false;
        return push(stack_[size_ - 1 - static_cast<size_t>(a.integer)]);
    case Op::Pop:
        return pop(a);
    case Op::Roll: {
        if (!pop(b) || !pop(a) || a.kind != Value::Int || b.kind != Value::Int || a.integer < 0 ||
            a.integer > static_cast<int64_t>(size_))
            return false;
        int64_t count = a.integer;
        if (count == 0)
            return true;
        // j > 0 moves the top values down: the block turns right by j.
        int64_t shift = ((b.integer % count) + count) % count;
        auto first =
            stack_.begin() + static_cast<std::ptrdiff_t>(size_ - static_cast<size_t>(count));
        auto last = stack_.begin() + static_cast<std::ptrdiff_t>(size_);
        std::rotate(first, last - shift, last);
        return true;
    }
    case Op::JumpIfFalse:
    case Op::Jump:
        break;
    }
    return false;
}

} // namespace

bool QVPDFPostScriptFunction::parse(const platform::PdfObject& object,
                                    const platform::PdfObject& funcDict,
                                    QVPDFResourceCache& cache) {
    code_.clear();
    ok_ = false;
    if (!QVPDFFunction::parse(object, funcDict, cache) || !hasRange_ || !object.isStream())
        return false;
    std::optional<std::string> text = object.streamData();
    if (!text)
        return false;
    std::vector<std::vector<Item>> procedures;
    if (!readProcedures(*text, procedures) || procedures.empty())
        return false;
    Depth depth{m_, false};
    if (!Compiler(procedures).emit(0, depth, code_)) {
        code_.clear();
        return false;
    }
    ok_ = true;
    return true;
}

void QVPDFPostScriptFunction::transformInput(const Values& input, Values& output) const {
    output.fill(0.0);
    if (!ok_)
        return;
    Machine machine;
    for (size_t i = 0; i < static_cast<size_t>(m_); ++i) {
        double x = input[i];
        if (!(x >= domain_[i].min))
            x = domain_[i].min;
        if (x > domain_[i].max)
            x = domain_[i].max;
        if (!machine.push(makeReal(x)))
            return;
    }
    if (!machine.run(code_) || machine.size() < static_cast<size_t>(n_))
        return;
    Values results{};
    const size_t base = machine.size() - static_cast<size_t>(n_);
    for (size_t j = 0; j < static_cast<size_t>(n_); ++j) {
        const Value& v = machine.at(base + j);
        if (!v.isNumber() || !std::isfinite(v.number()))
            return;
        results[j] = clipToRange(static_cast<int>(j), v.number());
    }
    output = results;
}
