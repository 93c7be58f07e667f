#include "platform/pdf/PdfObject.h"

#include "platform/NumberFormat.h"
#include "platform/pdf/QpdfAccess.h"

#include <new>
#include <stdexcept>

namespace platform {

static_assert(sizeof(QPDFObjectHandle) <= 16 && alignof(QPDFObjectHandle) <= 8,
              "PdfObject storage too small for a qpdf handle");

using A = PdfObjectAccess;

PdfObject::PdfObject() { new (storage_) QPDFObjectHandle(); }
PdfObject::~PdfObject() { A::handle(*this).~QPDFObjectHandle(); }
PdfObject::PdfObject(const PdfObject& o) { new (storage_) QPDFObjectHandle(A::handle(o)); }
PdfObject::PdfObject(PdfObject&& o) noexcept {
    new (storage_) QPDFObjectHandle(std::move(A::handle(o)));
}
PdfObject& PdfObject::operator=(const PdfObject& o) {
    A::handle(*this) = A::handle(o);
    return *this;
}
PdfObject& PdfObject::operator=(PdfObject&& o) noexcept {
    A::handle(*this) = std::move(A::handle(o));
    return *this;
}

PdfObject PdfObject::makeNull() { return A::wrap(QPDFObjectHandle::newNull()); }
PdfObject PdfObject::makeBoolean(bool v) { return A::wrap(QPDFObjectHandle::newBool(v)); }
PdfObject PdfObject::makeInteger(long long v) { return A::wrap(QPDFObjectHandle::newInteger(v)); }
PdfObject PdfObject::makeReal(double v) {
    return A::wrap(QPDFObjectHandle::newReal(formatShortest(v)));
}
PdfObject PdfObject::makeName(const std::string& n) {
    return A::wrap(QPDFObjectHandle::newName("/" + n));
}
PdfObject PdfObject::makeString(const std::string& b) {
    return A::wrap(QPDFObjectHandle::newString(b));
}

PdfObjectType PdfObject::type() const {
    try {
        QPDFObjectHandle& h = A::handle(*this);
        if (!h.isInitialized())
            return PdfObjectType::Null;
        switch (h.getTypeCode()) {
        case ::ot_boolean:
            return PdfObjectType::Boolean;
        case ::ot_integer:
            return PdfObjectType::Integer;
        case ::ot_real:
            return PdfObjectType::Real;
        case ::ot_name:
            return PdfObjectType::Name;
        case ::ot_string:
            return PdfObjectType::String;
        case ::ot_array:
            return PdfObjectType::Array;
        case ::ot_dictionary:
            return PdfObjectType::Dictionary;
        case ::ot_stream:
            return PdfObjectType::Stream;
        default:
            return PdfObjectType::Null;
        }
    } catch (const std::exception&) {
        return PdfObjectType::Null;
    }
}

bool PdfObject::isNumber() const {
    auto t = type();
    return t == PdfObjectType::Integer || t == PdfObjectType::Real;
}

PdfObjectId PdfObject::objectId() const {
    QPDFObjectHandle& h = A::handle(*this);
    if (!h.isInitialized())
        return {};
    QPDFObjGen og = h.getObjGen();
    return {og.getObj(), og.getGen()};
}

std::optional<bool> PdfObject::boolean() const {
    if (type() != PdfObjectType::Boolean)
        return std::nullopt;
    return A::handle(*this).getBoolValue();
}

std::optional<long long> PdfObject::integer() const {
    if (type() != PdfObjectType::Integer)
        return std::nullopt;
    return A::handle(*this).getIntValue();
}

std::optional<double> PdfObject::number() const {
    switch (type()) {
    case PdfObjectType::Integer:
        return static_cast<double>(A::handle(*this).getIntValue());
    case PdfObjectType::Real: {
        // qpdf keeps the text of a real; read it without the C locale.
        auto v = parseDouble(A::handle(*this).getRealValue());
        return v ? *v : 0.0;
    }
    default:
        return std::nullopt;
    }
}

std::optional<std::string> PdfObject::name() const {
    if (type() != PdfObjectType::Name)
        return std::nullopt;
    std::string n = A::handle(*this).getName();
    if (!n.empty() && n.front() == '/')
        n.erase(0, 1);
    return n;
}

std::optional<std::string> PdfObject::string() const {
    if (type() != PdfObjectType::String)
        return std::nullopt;
    return A::handle(*this).getStringValue();
}

size_t PdfObject::arraySize() const {
    if (type() != PdfObjectType::Array)
        return 0;
    int n = A::handle(*this).getArrayNItems();
    return n < 0 ? 0 : static_cast<size_t>(n);
}

PdfObject PdfObject::at(size_t index) const {
    if (index >= arraySize())
        return PdfObject();
    try {
        return A::wrap(A::handle(*this).getArrayItem(static_cast<int>(index)));
    } catch (const std::exception&) {
        return PdfObject();
    }
}

namespace {
QPDFObjectHandle dictOf(const QPDFObjectHandle& h) {
    QPDFObjectHandle copy = h;
    if (copy.isStream())
        return copy.getDict();
    return copy;
}
} // namespace

bool PdfObject::hasKey(const std::string& key) const {
    auto t = type();
    if (t != PdfObjectType::Dictionary && t != PdfObjectType::Stream)
        return false;
    try {
        return dictOf(A::handle(*this)).hasKey("/" + key);
    } catch (const std::exception&) {
        return false;
    }
}

PdfObject PdfObject::get(const std::string& key) const {
    auto t = type();
    if (t != PdfObjectType::Dictionary && t != PdfObjectType::Stream)
        return PdfObject();
    try {
        QPDFObjectHandle v = dictOf(A::handle(*this)).getKey("/" + key);
        return A::wrap(v);
    } catch (const std::exception&) {
        return PdfObject();
    }
}

std::vector<std::string> PdfObject::keys() const {
    std::vector<std::string> out;
    auto t = type();
    if (t != PdfObjectType::Dictionary && t != PdfObjectType::Stream)
        return out;
    try {
        for (const std::string& k : dictOf(A::handle(*this)).getKeys())
            out.push_back(!k.empty() && k.front() == '/' ? k.substr(1) : k);
    } catch (const std::exception&) {
    }
    return out;
}

std::optional<PdfObject> PdfObject::getDictionary(const std::string& key) const {
    PdfObject v = get(key);
    if (!v.isDictionary())
        return std::nullopt;
    return v;
}

std::optional<PdfObject> PdfObject::getArray(const std::string& key) const {
    PdfObject v = get(key);
    if (!v.isArray())
        return std::nullopt;
    return v;
}

std::optional<PdfObject> PdfObject::getStream(const std::string& key) const {
    PdfObject v = get(key);
    if (!v.isStream())
        return std::nullopt;
    return v;
}

void PdfObject::forEachEntry(
    const std::function<void(const std::string&, const PdfObject&)>& fn) const {
    for (const std::string& k : keys())
        fn(k, get(k));
}

PdfObject PdfObject::streamDictionary() const {
    if (type() != PdfObjectType::Stream)
        return PdfObject();
    try {
        QPDFObjectHandle h = A::handle(*this);
        return A::wrap(h.getDict());
    } catch (const std::exception&) {
        return PdfObject();
    }
}

std::optional<std::string> PdfObject::streamData() const {
    return streamData(kMaxDecodedStreamBytes, nullptr);
}

std::optional<std::string> PdfObject::streamData(uint64_t maxBytes, bool* exceeded) const {
    if (exceeded)
        *exceeded = false;
    if (type() != PdfObjectType::Stream)
        return std::nullopt;
    LimitedSink sink(maxBytes);
    try {
        QPDFObjectHandle h = A::handle(*this);
        // As qpdf's getStreamData: what a damaged filter decoded before the
        // damage is kept; a stream whose filters cannot be undone gives none.
        bool filtered = false;
        (void)h.pipeStreamData(&sink, &filtered, 0, qpdf_dl_all, false, false);
        if (!filtered && !sink.exceeded())
            return std::nullopt;
    } catch (const std::exception&) {
        // The sink's refusal passed on by qpdf, or a failure to read the stream.
        if (!sink.exceeded())
            return std::nullopt;
    }
    if (sink.exceeded()) {
        if (exceeded)
            *exceeded = true;
        return std::nullopt;
    }
    return std::move(sink.bytes());
}

namespace {
bool isImageCodec(const std::string& f) {
    return f == "/DCTDecode" || f == "/DCT" || f == "/JPXDecode";
}
} // namespace

std::optional<PdfImageStreamData> PdfObject::imageStreamData() const {
    if (type() != PdfObjectType::Stream)
        return std::nullopt;
    try {
        QPDFObjectHandle h = A::handle(*this);
        QPDFObjectHandle dict = h.getDict();
        QPDFObjectHandle filter = dict.getKey("/Filter");
        std::string last;
        if (filter.isName())
            last = filter.getName();
        else if (filter.isArray() && filter.getArrayNItems() > 0 &&
                 filter.getArrayItem(filter.getArrayNItems() - 1).isName())
            last = filter.getArrayItem(filter.getArrayNItems() - 1).getName();
        if (!isImageCodec(last)) {
            auto data = streamData();
            if (!data)
                return std::nullopt;
            return PdfImageStreamData{std::move(*data), ""};
        }
        std::string remaining = last == "/JPXDecode" ? "JPXDecode" : "DCTDecode";
        if (filter.isName()) {
            std::shared_ptr<Buffer> rawBuf = h.getRawStreamData();
            std::string raw(reinterpret_cast<const char*>(rawBuf->getBuffer()), rawBuf->getSize());
            return PdfImageStreamData{std::move(raw), remaining};
        }
        // Undo the filters before the codec on a copy whose filter list ends early.
        QPDFObjectHandle copy = h.copyStream();
        QPDFObjectHandle head = QPDFObjectHandle::newArray();
        for (int i = 0; i + 1 < filter.getArrayNItems(); ++i)
            head.appendItem(filter.getArrayItem(i));
        QPDFObjectHandle parms = dict.getKey("/DecodeParms");
        QPDFObjectHandle newParms = QPDFObjectHandle::newNull();
        if (parms.isArray()) {
            newParms = QPDFObjectHandle::newArray();
            for (int i = 0; i + 1 < parms.getArrayNItems(); ++i)
                newParms.appendItem(parms.getArrayItem(i));
        }
        copy.replaceStreamData(h.getRawStreamData(), head, newParms);
        std::shared_ptr<Buffer> buf = copy.getStreamData(qpdf_dl_all);
        return PdfImageStreamData{
            std::string(reinterpret_cast<const char*>(buf->getBuffer()), buf->getSize()),
            remaining};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool PdfObject::isSameObject(const PdfObject& other) const {
    const QPDFObjectHandle& a = A::handle(*this);
    const QPDFObjectHandle& b = A::handle(other);
    if (!a.isInitialized() || !b.isInitialized())
        return false;
    QPDFObjectHandle ca = a, cb = b;
    if (ca.isIndirect() || cb.isIndirect())
        return ca.getObjGen() == cb.getObjGen();
    return ca.isSameObjectAs(cb);
}

} // namespace platform
