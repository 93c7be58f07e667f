#include "PdfContentScanner.h"

#include "NumberFormat.h"
#include "PdfBudgetExceeded.h"
#include "QpdfAccess.h"

#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDFTokenizer.hh>

namespace platform {

void PdfOperatorTable::setCallback(const std::string& op, PdfOperatorCallback callback) {
    callbacks_[op] = callback;
}

PdfOperatorCallback PdfOperatorTable::callbackFor(std::string_view op) const {
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

} // namespace

struct PdfScanner::Impl {
    const PdfOperatorTable& table;
    std::vector<Operand> operands;
    std::shared_ptr<InputSource> input;
    QPDFTokenizer tokenizer;
    bool damaged = false;
    // Set while an operator callback runs: an exception from there is the
    // caller's and must reach it, not end the scan as damage.
    bool inCallback = false;

    void call(PdfOperatorCallback cb, PdfScanner& scanner, void* info) {
        inCallback = true;
        cb(scanner, info);
        inCallback = false;
    }

    explicit Impl(const PdfOperatorTable& t) : table(t) { tokenizer.allowEOF(); }

    QPDFTokenizer::Token next() {
        return tokenizer.readToken(input, "content", true);
    }

    static QPDFObjectHandle numberHandle(const QPDFTokenizer::Token& t) {
        if (t.getType() == QPDFTokenizer::tt_integer) {
            auto v = parseInteger(t.getValue());
            return QPDFObjectHandle::newInteger(v ? *v : 0);
        }
        auto v = parseDouble(t.getValue());
        return QPDFObjectHandle::newReal(formatShortest(v ? *v : 0.0));
    }

    // Reads the rest of an array or dictionary whose opening token has been
    // read; false when the data ends inside it or it nests too deep.
    bool readComposite(bool isDict, int depth, QPDFObjectHandle& out) {
        if (depth > kMaxNesting)
            return false;
        std::vector<QPDFObjectHandle> items;
        for (;;) {
            QPDFTokenizer::Token t = next();
            switch (t.getType()) {
            case QPDFTokenizer::tt_eof:
                return false;
            case QPDFTokenizer::tt_array_close:
                if (isDict)
                    return false;
                out = QPDFObjectHandle::newArray(items);
                return true;
            case QPDFTokenizer::tt_dict_close: {
                if (!isDict)
                    return false;
                out = QPDFObjectHandle::newDictionary();
                for (size_t i = 0; i + 1 < items.size(); i += 2)
                    if (items[i].isName())
                        out.replaceKey(items[i].getName(), items[i + 1]);
                return true;
            }
            case QPDFTokenizer::tt_array_open:
            case QPDFTokenizer::tt_dict_open: {
                QPDFObjectHandle inner;
                if (!readComposite(t.getType() == QPDFTokenizer::tt_dict_open, depth + 1, inner))
                    return false;
                items.push_back(inner);
                break;
            }
            case QPDFTokenizer::tt_integer:
            case QPDFTokenizer::tt_real:
                items.push_back(numberHandle(t));
                break;
            case QPDFTokenizer::tt_name:
                items.push_back(QPDFObjectHandle::newName(t.getValue()));
                break;
            case QPDFTokenizer::tt_string:
                items.push_back(QPDFObjectHandle::newString(t.getValue()));
                break;
            case QPDFTokenizer::tt_bool:
                items.push_back(QPDFObjectHandle::newBool(t.getValue() == "true"));
                break;
            case QPDFTokenizer::tt_null:
                items.push_back(QPDFObjectHandle::newNull());
                break;
            case QPDFTokenizer::tt_word:
                // An operator inside an array is damage; keep it as a name-less null
                // so the rest of the array still reads.
                damaged = true;
                items.push_back(QPDFObjectHandle::newNull());
                break;
            default:
                damaged = true;
                break;
            }
        }
    }

    // BI has been read: the dictionary up to ID, then the data up to EI.
    bool readInlineImage(const std::shared_ptr<PdfDocumentImpl>& doc, Operand& out) {
        std::vector<QPDFObjectHandle> items;
        for (;;) {
            QPDFTokenizer::Token t = next();
            auto type = t.getType();
            if (type == QPDFTokenizer::tt_eof)
                return false;
            if (type == QPDFTokenizer::tt_word && t.getValue() == "ID")
                break;
            if (type == QPDFTokenizer::tt_array_open || type == QPDFTokenizer::tt_dict_open) {
                QPDFObjectHandle inner;
                if (!readComposite(type == QPDFTokenizer::tt_dict_open, 1, inner))
                    return false;
                items.push_back(inner);
            } else if (type == QPDFTokenizer::tt_integer || type == QPDFTokenizer::tt_real) {
                items.push_back(numberHandle(t));
            } else if (type == QPDFTokenizer::tt_name) {
                items.push_back(QPDFObjectHandle::newName(t.getValue()));
            } else if (type == QPDFTokenizer::tt_bool) {
                items.push_back(QPDFObjectHandle::newBool(t.getValue() == "true"));
            } else if (type == QPDFTokenizer::tt_string) {
                items.push_back(QPDFObjectHandle::newString(t.getValue()));
            } else {
                items.push_back(QPDFObjectHandle::newNull());
            }
        }
        // One white-space byte ends the ID operator; the data follows it.
        char ws;
        input->read(&ws, 1);
        tokenizer.expectInlineImage(input);
        QPDFTokenizer::Token data = next();
        if (data.getType() != QPDFTokenizer::tt_inline_image)
            return false;
        QPDFTokenizer::Token ei = next();
        if (!(ei.getType() == QPDFTokenizer::tt_word && ei.getValue() == "EI"))
            return false;
        QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
        for (size_t i = 0; i + 1 < items.size(); i += 2)
            if (items[i].isName())
                dict.replaceKey(items[i].getName(), items[i + 1]);
        if (!doc || !doc->qpdf)
            return false;
        QPDFObjectHandle stream = doc->qpdf->newStream(data.getValue());
        stream.replaceDict(dict);
        out.kind = OperandKind::Object;
        out.object = PdfObjectAccess::wrap(stream);
        return true;
    }
};

PdfScanner::PdfScanner(std::shared_ptr<PdfContentStream> stream, const PdfOperatorTable& table,
                       void* info)
    : impl_(std::make_unique<Impl>(table)), stream_(std::move(stream)), info_(info) {}

PdfScanner::~PdfScanner() = default;

bool PdfScanner::scan() {
    if (!stream_)
        return false;
    Impl& m = *impl_;
    const std::string& data = stream_->data();
    m.input = std::make_shared<BufferInputSource>(
        "content", new Buffer(reinterpret_cast<unsigned char*>(const_cast<char*>(data.data())),
                              data.size()),
        true);
    m.damaged = false;
    m.operands.clear();
    try {
        for (;;) {
            QPDFTokenizer::Token t = m.next();
            Operand op;
            switch (t.getType()) {
            case QPDFTokenizer::tt_eof:
                return !m.damaged;
            case QPDFTokenizer::tt_integer:
                op.kind = OperandKind::Number;
                op.isInteger = true;
                if (auto v = parseInteger(t.getValue())) {
                    op.integer = *v;
                    op.number = static_cast<double>(*v);
                } else {
                    // An integer too long for 64 bits is still a number.
                    op.isInteger = false;
                    auto d = parseDouble(t.getValue());
                    op.number = d ? *d : 0;
                }
                break;
            case QPDFTokenizer::tt_real: {
                op.kind = OperandKind::Number;
                auto v = parseDouble(t.getValue());
                op.number = v ? *v : 0;
                break;
            }
            case QPDFTokenizer::tt_name:
                op.kind = OperandKind::Name;
                op.text = t.getValue().empty() ? "" : t.getValue().substr(1);
                break;
            case QPDFTokenizer::tt_string:
                op.kind = OperandKind::String;
                op.text = t.getValue();
                break;
            case QPDFTokenizer::tt_bool:
                op.kind = OperandKind::Boolean;
                op.isInteger = t.getValue() == "true";
                break;
            case QPDFTokenizer::tt_null:
                op.kind = OperandKind::Null;
                break;
            case QPDFTokenizer::tt_array_open:
            case QPDFTokenizer::tt_dict_open: {
                QPDFObjectHandle h;
                if (!m.readComposite(t.getType() == QPDFTokenizer::tt_dict_open, 1, h))
                    return false; // the data ended inside it
                op.kind = OperandKind::Object;
                op.object = PdfObjectAccess::wrap(h);
                break;
            }
            case QPDFTokenizer::tt_word: {
                const std::string& name = t.getValue();
                if (budget_ && ++budget_->used > budget_->limit)
                    throw PdfBudgetExceeded("The page has more than " +
                                            std::to_string(budget_->limit) +
                                            " content operations.");
                if (name == "BI") {
                    Operand image;
                    if (!m.readInlineImage(stream_->document(), image))
                        return false;
                    m.operands.clear();
                    m.operands.push_back(std::move(image));
                    if (PdfOperatorCallback cb = m.table.callbackFor("EI"))
                        m.call(cb, *this, info_);
                    m.operands.clear();
                    continue;
                }
                if (PdfOperatorCallback cb = m.table.callbackFor(name))
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
        // Tokenizer failures end the scan; what was interpreted stays.
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
