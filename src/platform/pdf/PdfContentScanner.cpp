#include "platform/pdf/PdfContentScanner.h"

#include "platform/NumberFormat.h"
#include "platform/pdf/PdfBudgetExceeded.h"
#include "platform/pdf/QpdfAccess.h"

#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDFTokenizer.hh>

#include <algorithm>
#include <optional>

namespace platform {

void PdfOperatorTable::setCallback(const std::string& op, PdfOperatorCallback callback) {
    callbacks_[op] = callback;
}

PdfOperatorCallback PdfOperatorTable::callbackFor(std::string_view op) const {
    // Operator names fit a string's inline buffer: the key costs no allocation.
    auto it = callbacks_.find(std::string(op));
    return it == callbacks_.end() ? nullptr : it->second;
}

PdfContentStream::PdfContentStream(std::shared_ptr<PdfDocumentImpl> doc, std::string data)
    : doc_(std::move(doc)), data_(std::move(data)) {}

std::shared_ptr<PdfContentStream> PdfContentStream::fromStream(std::shared_ptr<PdfDocumentImpl> doc,
                                                               const PdfObject& stream) {
    auto data = stream.streamData();
    return std::make_shared<PdfContentStream>(std::move(doc), data ? std::move(*data) : "");
}

std::shared_ptr<PdfContentStream> PdfContentStream::fromStream(std::shared_ptr<PdfDocumentImpl> doc,
                                                               const PdfObject& stream,
                                                               uint64_t maxBytes, bool& exceeded) {
    auto data = stream.streamData(maxBytes, &exceeded);
    if (exceeded)
        return nullptr;
    return std::make_shared<PdfContentStream>(std::move(doc), data ? std::move(*data) : "");
}

namespace {

enum class OperandKind { Number, Name, String, Boolean, Null, Object };

struct Operand {
    OperandKind kind = OperandKind::Null;
    bool isInteger = false;
    double number = 0;
    long long integer = 0;
    std::string text; // name (no slash) or string bytes
    PdfObject object; // arrays, dictionaries, inline-image streams
};

// Nesting deeper than this in one operand is treated as damage; it bounds the
// recursion on hostile input.
constexpr int kMaxNesting = 64;

bool isWhite(unsigned char c) {
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool isDelimiter(unsigned char c) {
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
           c == '}' || c == '/' || c == '%';
}

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

enum class TokenType {
    Eof,
    Integer,
    Real,
    Name,
    String,
    Boolean,
    Null,
    ArrayOpen,
    ArrayClose,
    DictOpen,
    DictClose,
    Word,
    Bad
};

struct Token {
    TokenType type = TokenType::Eof;
    std::string_view raw; // numbers, words, names as written
    std::string value;    // strings' bytes and names' decoded text (no slash)
};

// The lexical rules of content streams (PDF 32000 7.2, 7.3), read straight
// from the decoded bytes: white space and comments between tokens; numbers
// (an optional sign, digits with at most one point; anything else made of
// regular characters is a word, that is an operator); names with #xx
// escapes; literal strings with balanced parentheses, escapes and line ends
// read as a line feed; hexadecimal strings (white space ignored, an odd last
// digit followed by 0). Bad tokens (a stray ')' or '>', a bad hex digit, a
// string the data ends inside) are reported as such and reading goes on.
class ContentLexer {
public:
    explicit ContentLexer(std::string_view data) : d_(data) {}

    size_t position() const { return pos_; }
    void setPosition(size_t pos) { pos_ = std::min(pos, d_.size()); }

    void next(Token& t) {
        t.value.clear();
        skipWhiteAndComments();
        if (pos_ >= d_.size()) {
            t.type = TokenType::Eof;
            return;
        }
        const size_t start = pos_;
        const unsigned char c = byte(pos_);
        switch (c) {
        case '[':
            ++pos_;
            t.type = TokenType::ArrayOpen;
            return;
        case ']':
            ++pos_;
            t.type = TokenType::ArrayClose;
            return;
        case '(':
            ++pos_;
            readLiteralString(t);
            return;
        case '<':
            if (pos_ + 1 < d_.size() && d_[pos_ + 1] == '<') {
                pos_ += 2;
                t.type = TokenType::DictOpen;
            } else {
                ++pos_;
                readHexString(t);
            }
            return;
        case '>':
            if (pos_ + 1 < d_.size() && d_[pos_ + 1] == '>') {
                pos_ += 2;
                t.type = TokenType::DictClose;
            } else {
                ++pos_;
                t.type = TokenType::Bad;
            }
            return;
        case '/':
            ++pos_;
            readName(t, start);
            return;
        case ')':
        case '{':
        case '}':
            ++pos_;
            t.type = TokenType::Bad;
            return;
        default:
            break;
        }
        while (pos_ < d_.size() && !isWhite(byte(pos_)) && !isDelimiter(byte(pos_)))
            ++pos_;
        t.raw = d_.substr(start, pos_ - start);
        t.type = classifyRegular(t.raw);
    }

private:
    unsigned char byte(size_t i) const { return static_cast<unsigned char>(d_[i]); }

    void skipWhiteAndComments() {
        while (pos_ < d_.size()) {
            const unsigned char c = byte(pos_);
            if (isWhite(c)) {
                ++pos_;
            } else if (c == '%') {
                while (pos_ < d_.size() && d_[pos_] != '\n' && d_[pos_] != '\r')
                    ++pos_;
            } else {
                return;
            }
        }
    }

    static TokenType classifyRegular(std::string_view s) {
        size_t i = 0;
        if (s[0] == '+' || s[0] == '-')
            ++i;
        size_t digits = 0, points = 0;
        for (size_t j = i; j < s.size(); ++j) {
            if (s[j] >= '0' && s[j] <= '9')
                ++digits;
            else if (s[j] == '.')
                ++points;
            else
                return keyword(s);
        }
        if (digits == 0 || points > 1)
            return TokenType::Word;
        return points == 0 ? TokenType::Integer : TokenType::Real;
    }

    static TokenType keyword(std::string_view s) {
        if (s == "true" || s == "false")
            return TokenType::Boolean;
        if (s == "null")
            return TokenType::Null;
        return TokenType::Word;
    }

    void readName(Token& t, size_t start) {
        while (pos_ < d_.size() && !isWhite(byte(pos_)) && !isDelimiter(byte(pos_))) {
            const unsigned char c = byte(pos_);
            int hi = -1, lo = -1;
            if (c == '#' && pos_ + 2 < d_.size() && (hi = hexValue(byte(pos_ + 1))) >= 0 &&
                (lo = hexValue(byte(pos_ + 2))) >= 0 && (hi || lo)) {
                t.value.push_back(static_cast<char>(hi * 16 + lo));
                pos_ += 3;
            } else {
                t.value.push_back(static_cast<char>(c));
                ++pos_;
            }
        }
        t.raw = d_.substr(start, pos_ - start);
        t.type = TokenType::Name;
    }

    void readLiteralString(Token& t) {
        int depth = 1;
        while (pos_ < d_.size()) {
            unsigned char c = byte(pos_++);
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (--depth == 0) {
                    t.type = TokenType::String;
                    return;
                }
            } else if (c == '\r') {
                // An end of line in a string reads as a line feed.
                if (pos_ < d_.size() && d_[pos_] == '\n')
                    ++pos_;
                c = '\n';
            } else if (c == '\\') {
                if (pos_ >= d_.size())
                    break;
                c = byte(pos_++);
                switch (c) {
                case 'n':
                    c = '\n';
                    break;
                case 'r':
                    c = '\r';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'b':
                    c = '\b';
                    break;
                case 'f':
                    c = '\f';
                    break;
                case '\r':
                    // A backslash ends the line without a character.
                    if (pos_ < d_.size() && d_[pos_] == '\n')
                        ++pos_;
                    continue;
                case '\n':
                    continue;
                default:
                    if (c >= '0' && c <= '7') {
                        int v = c - '0';
                        for (int k = 0;
                             k < 2 && pos_ < d_.size() && d_[pos_] >= '0' && d_[pos_] <= '7'; ++k)
                            v = v * 8 + (d_[pos_++] - '0');
                        c = static_cast<unsigned char>(v & 0xFF);
                    }
                    // Any other escaped character stands for itself.
                    break;
                }
            }
            t.value.push_back(static_cast<char>(c));
        }
        t.type = TokenType::Bad; // the data ended inside the string
    }

    void readHexString(Token& t) {
        int pending = -1;
        while (pos_ < d_.size()) {
            const unsigned char c = byte(pos_++);
            if (c == '>') {
                if (pending >= 0)
                    t.value.push_back(static_cast<char>(pending << 4));
                t.type = TokenType::String;
                return;
            }
            if (isWhite(c))
                continue;
            const int v = hexValue(c);
            if (v < 0) {
                t.type = TokenType::Bad;
                return;
            }
            if (pending < 0) {
                pending = v;
            } else {
                t.value.push_back(static_cast<char>(pending * 16 + v));
                pending = -1;
            }
        }
        t.type = TokenType::Bad;
    }

    std::string_view d_;
    size_t pos_ = 0;
};

} // namespace

struct PdfScanner::Impl {
    const PdfOperatorTable& table;
    std::vector<Operand> operands;
    ContentLexer lexer;
    Token token;
    bool damaged = false;
    // Set while an operator callback runs: an exception from there is the
    // caller's and must reach it, not end the scan as damage.
    bool inCallback = false;

    Impl(const PdfOperatorTable& t, std::string_view data) : table(t), lexer(data) {}

    void call(PdfOperatorCallback cb, PdfScanner& scanner, void* info) {
        inCallback = true;
        cb(scanner, info);
        inCallback = false;
    }

    static QPDFObjectHandle numberHandle(const Token& t) {
        if (t.type == TokenType::Integer) {
            if (auto v = parseInteger(t.raw))
                return QPDFObjectHandle::newInteger(*v);
        }
        auto v = parseDouble(t.raw);
        return QPDFObjectHandle::newReal(formatShortest(v ? *v : 0.0));
    }

    // A simple operand token as an object, or none for the others.
    static std::optional<QPDFObjectHandle> simpleHandle(const Token& t) {
        switch (t.type) {
        case TokenType::Integer:
        case TokenType::Real:
            return numberHandle(t);
        case TokenType::Name:
            return QPDFObjectHandle::newName("/" + t.value);
        case TokenType::String:
            return QPDFObjectHandle::newString(t.value);
        case TokenType::Boolean:
            return QPDFObjectHandle::newBool(t.raw == "true");
        case TokenType::Null:
            return QPDFObjectHandle::newNull();
        default:
            return std::nullopt;
        }
    }

    // Reads the rest of an array or dictionary whose opening token has been
    // read; false when the data ends inside it or it nests too deep.
    bool readComposite(bool isDict, int depth, QPDFObjectHandle& out) {
        if (depth > kMaxNesting)
            return false;
        std::vector<QPDFObjectHandle> items;
        for (;;) {
            lexer.next(token);
            switch (token.type) {
            case TokenType::Eof:
                return false;
            case TokenType::ArrayClose:
                if (isDict)
                    return false;
                out = QPDFObjectHandle::newArray(items);
                return true;
            case TokenType::DictClose: {
                if (!isDict)
                    return false;
                out = QPDFObjectHandle::newDictionary();
                for (size_t i = 0; i + 1 < items.size(); i += 2)
                    if (items[i].isName())
                        out.replaceKey(items[i].getName(), items[i + 1]);
                return true;
            }
            case TokenType::ArrayOpen:
            case TokenType::DictOpen: {
                QPDFObjectHandle inner;
                if (!readComposite(token.type == TokenType::DictOpen, depth + 1, inner))
                    return false;
                items.push_back(inner);
                break;
            }
            case TokenType::Word:
                // An operator inside an array is damage; keep it as a null so
                // the rest of the array still reads.
                damaged = true;
                items.push_back(QPDFObjectHandle::newNull());
                break;
            case TokenType::Bad:
                damaged = true;
                break;
            default:
                items.push_back(*simpleHandle(token));
                break;
            }
        }
    }

    // BI has been read: the dictionary up to ID, then the data up to EI,
    // whose end qpdf's tokenizer finds (it looks past EI-like bytes in the
    // data for a plausible end).
    bool readInlineImage(const std::shared_ptr<PdfDocumentImpl>& doc, std::string_view data,
                         Operand& out) {
        std::vector<QPDFObjectHandle> items;
        for (;;) {
            lexer.next(token);
            if (token.type == TokenType::Eof)
                return false;
            if (token.type == TokenType::Word && token.raw == "ID")
                break;
            if (token.type == TokenType::ArrayOpen || token.type == TokenType::DictOpen) {
                QPDFObjectHandle inner;
                if (!readComposite(token.type == TokenType::DictOpen, 1, inner))
                    return false;
                items.push_back(inner);
            } else if (auto h = simpleHandle(token)) {
                items.push_back(*h);
            } else {
                items.push_back(QPDFObjectHandle::newNull());
            }
        }
        // One white-space byte ends the ID operator; the data follows it.
        auto input = std::make_shared<BufferInputSource>(
            "content",
            new Buffer(reinterpret_cast<unsigned char*>(const_cast<char*>(data.data())),
                       data.size()),
            true);
        input->seek(static_cast<qpdf_offset_t>(std::min(lexer.position() + 1, data.size())),
                    SEEK_SET);
        QPDFTokenizer tokenizer;
        tokenizer.allowEOF();
        tokenizer.expectInlineImage(input);
        QPDFTokenizer::Token image = tokenizer.readToken(input, "content", true);
        if (image.getType() != QPDFTokenizer::tt_inline_image)
            return false;
        QPDFTokenizer::Token ei = tokenizer.readToken(input, "content", true);
        if (!(ei.getType() == QPDFTokenizer::tt_word && ei.getValue() == "EI"))
            return false;
        lexer.setPosition(static_cast<size_t>(input->tell()));
        QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
        for (size_t i = 0; i + 1 < items.size(); i += 2)
            if (items[i].isName())
                dict.replaceKey(items[i].getName(), items[i + 1]);
        if (!doc || !doc->qpdf)
            return false;
        QPDFObjectHandle stream = doc->qpdf->newStream(image.getValue());
        stream.replaceDict(dict);
        out.kind = OperandKind::Object;
        out.object = PdfObjectAccess::wrap(stream);
        return true;
    }
};

PdfScanner::PdfScanner(std::shared_ptr<PdfContentStream> stream, const PdfOperatorTable& table,
                       void* info)
    : impl_(std::make_unique<Impl>(table,
                                   stream ? std::string_view(stream->data()) : std::string_view())),
      stream_(std::move(stream)), info_(info) {}

PdfScanner::~PdfScanner() = default;

bool PdfScanner::scan() {
    if (!stream_)
        return false;
    Impl& m = *impl_;
    const std::string_view data = stream_->data();
    m.lexer.setPosition(0);
    m.damaged = false;
    m.operands.clear();
    Token& t = m.token;
    try {
        for (;;) {
            m.lexer.next(t);
            Operand op;
            switch (t.type) {
            case TokenType::Eof:
                return !m.damaged;
            case TokenType::Integer:
                op.kind = OperandKind::Number;
                op.isInteger = true;
                if (auto v = parseInteger(t.raw)) {
                    op.integer = *v;
                    op.number = static_cast<double>(*v);
                } else {
                    // An integer too long for 64 bits is still a number.
                    op.isInteger = false;
                    auto d = parseDouble(t.raw);
                    op.number = d ? *d : 0;
                }
                break;
            case TokenType::Real: {
                op.kind = OperandKind::Number;
                auto v = parseDouble(t.raw);
                op.number = v ? *v : 0;
                break;
            }
            case TokenType::Name:
                op.kind = OperandKind::Name;
                op.text = std::move(t.value);
                break;
            case TokenType::String:
                op.kind = OperandKind::String;
                op.text = std::move(t.value);
                break;
            case TokenType::Boolean:
                op.kind = OperandKind::Boolean;
                op.isInteger = t.raw == "true";
                break;
            case TokenType::Null:
                op.kind = OperandKind::Null;
                break;
            case TokenType::ArrayOpen:
            case TokenType::DictOpen: {
                QPDFObjectHandle h;
                if (!m.readComposite(t.type == TokenType::DictOpen, 1, h))
                    return false; // the data ended inside it
                op.kind = OperandKind::Object;
                op.object = PdfObjectAccess::wrap(h);
                break;
            }
            case TokenType::Word: {
                if (budget_ && ++budget_->used > budget_->limit)
                    throw PdfBudgetExceeded("The page has more than " +
                                            std::to_string(budget_->limit) +
                                            " content operations.");
                if (t.raw == "BI") {
                    Operand image;
                    if (!m.readInlineImage(stream_->document(), data, image))
                        return false;
                    m.operands.clear();
                    m.operands.push_back(std::move(image));
                    if (PdfOperatorCallback cb = m.table.callbackFor("EI"))
                        m.call(cb, *this, info_);
                    m.operands.clear();
                    continue;
                }
                if (PdfOperatorCallback cb = m.table.callbackFor(t.raw))
                    m.call(cb, *this, info_);
                m.operands.clear();
                continue;
            }
            default:
                // Bad tokens and stray closers: skip them and go on.
                m.damaged = true;
                continue;
            }
            // Operands of a stream that never names its operator would grow
            // without bound; a real operator takes at most a few dozen.
            if (m.operands.size() >= 4096) {
                m.damaged = true;
                m.operands.clear();
            }
            m.operands.push_back(std::move(op));
        }
    } catch (const PdfBudgetExceeded&) {
        throw;
    } catch (const std::exception&) {
        if (m.inCallback)
            throw;
        // Failures while reading end the scan; what was interpreted stays.
        return false;
    }
}

namespace {
template <typename Fn> bool popWith(std::vector<Operand>& ops, Fn fn) {
    if (ops.empty())
        return false;
    Operand op = std::move(ops.back());
    ops.pop_back();
    return fn(op);
}
} // namespace

bool PdfScanner::popNumber(double& out) {
    return popWith(impl_->operands, [&](Operand& o) {
        if (o.kind != OperandKind::Number)
            return false;
        out = o.number;
        return true;
    });
}

bool PdfScanner::popInteger(long long& out) {
    return popWith(impl_->operands, [&](Operand& o) {
        if (o.kind != OperandKind::Number || !o.isInteger)
            return false;
        out = o.integer;
        return true;
    });
}

bool PdfScanner::popName(std::string& out) {
    return popWith(impl_->operands, [&](Operand& o) {
        if (o.kind != OperandKind::Name)
            return false;
        out = std::move(o.text);
        return true;
    });
}

bool PdfScanner::popString(std::string& out) {
    return popWith(impl_->operands, [&](Operand& o) {
        if (o.kind != OperandKind::String)
            return false;
        out = std::move(o.text);
        return true;
    });
}

bool PdfScanner::popBoolean(bool& out) {
    return popWith(impl_->operands, [&](Operand& o) {
        if (o.kind != OperandKind::Boolean)
            return false;
        out = o.isInteger;
        return true;
    });
}

bool PdfScanner::popArray(PdfObject& out) {
    return popWith(impl_->operands, [&](Operand& o) {
        if (o.kind != OperandKind::Object || !o.object.isArray())
            return false;
        out = std::move(o.object);
        return true;
    });
}

bool PdfScanner::popDictionary(PdfObject& out) {
    return popWith(impl_->operands, [&](Operand& o) {
        if (o.kind != OperandKind::Object || !o.object.isDictionary())
            return false;
        out = std::move(o.object);
        return true;
    });
}

bool PdfScanner::popStream(PdfObject& out) {
    return popWith(impl_->operands, [&](Operand& o) {
        if (o.kind != OperandKind::Object || !o.object.isStream())
            return false;
        out = std::move(o.object);
        return true;
    });
}

bool PdfScanner::popObject(PdfObject& out) {
    return popWith(impl_->operands, [&](Operand& o) {
        switch (o.kind) {
        case OperandKind::Number:
            out = o.isInteger ? PdfObject::makeInteger(o.integer) : PdfObject::makeReal(o.number);
            break;
        case OperandKind::Name:
            out = PdfObject::makeName(o.text);
            break;
        case OperandKind::String:
            out = PdfObject::makeString(o.text);
            break;
        case OperandKind::Boolean:
            out = PdfObject::makeBoolean(o.isInteger);
            break;
        case OperandKind::Null:
            out = PdfObject::makeNull();
            break;
        case OperandKind::Object:
            out = std::move(o.object);
            break;
        }
        return true;
    });
}

size_t PdfScanner::operandCount() const { return impl_->operands.size(); }

} // namespace platform
