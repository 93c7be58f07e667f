#include "platform/image/ImageStreamReader.h"

#include "platform/pdf/QpdfAccess.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace platform {

namespace {

using A = PdfObjectAccess;

/// Full filter name for the names and the inline-image abbreviations.
std::string fullFilterName(const std::string& name) {
    if (name == "/AHx")
        return "/ASCIIHexDecode";
    if (name == "/A85")
        return "/ASCII85Decode";
    if (name == "/LZW")
        return "/LZWDecode";
    if (name == "/Fl")
        return "/FlateDecode";
    if (name == "/RL")
        return "/RunLengthDecode";
    if (name == "/CCF")
        return "/CCITTFaxDecode";
    if (name == "/DCT")
        return "/DCTDecode";
    return name;
}

ImageCodec codecOf(const std::string& fullName) {
    if (fullName == "/DCTDecode")
        return ImageCodec::DCT;
    if (fullName == "/JPXDecode")
        return ImageCodec::JPX;
    if (fullName == "/CCITTFaxDecode")
        return ImageCodec::CCITTFax;
    if (fullName == "/JBIG2Decode")
        return ImageCodec::JBIG2;
    return ImageCodec::None;
}

bool isGenericFilter(const std::string& fullName) {
    return fullName == "/FlateDecode" || fullName == "/LZWDecode" || fullName == "/ASCII85Decode" ||
           fullName == "/ASCIIHexDecode" || fullName == "/RunLengthDecode";
}

/// A direct copy of a /DecodeParms dictionary with its scalar entries (all
/// the generic filters read), so it can live in another document.
QPDFObjectHandle copyParameters(QPDFObjectHandle parms) {
    QPDFObjectHandle out = QPDFObjectHandle::newDictionary();
    if (!parms.isDictionary())
        return out;
    for (const std::string& key : parms.getKeys()) {
        QPDFObjectHandle v = parms.getKey(key);
        if (v.isInteger())
            out.replaceKey(key, QPDFObjectHandle::newInteger(v.getIntValue()));
        else if (v.isReal())
            out.replaceKey(key, QPDFObjectHandle::newReal(v.getNumericValue(), 6));
        else if (v.isBool())
            out.replaceKey(key, QPDFObjectHandle::newBool(v.getBoolValue()));
        else if (v.isName())
            out.replaceKey(key, QPDFObjectHandle::newName(v.getName()));
    }
    return out;
}

QPDFObjectHandle entry(QPDFObjectHandle dict, const char* full, const char* abbreviation) {
    QPDFObjectHandle v = dict.getKey(full);
    if (v.isNull())
        v = dict.getKey(abbreviation);
    return v;
}

} // namespace

ImageStreamBytes readImageStream(const PdfObject& stream, uint64_t maxBytes,
                                 uint64_t maxCodecBytes) {
    ImageStreamBytes out;
    if (!stream.isStream()) {
        out.status = ImageStreamBytes::Status::Unsupported;
        return out;
    }
    try {
        QPDFObjectHandle h = A::handle(stream);
        QPDFObjectHandle dict = h.getDict();
        QPDFObjectHandle filter = entry(dict, "/Filter", "/F");
        QPDFObjectHandle parms = entry(dict, "/DecodeParms", "/DP");
        std::vector<std::string> filters;
        std::vector<QPDFObjectHandle> parameters;
        if (filter.isName()) {
            filters.push_back(fullFilterName(filter.getName()));
            parameters.push_back(parms.isArray() ? parms.getArrayItem(0) : parms);
        } else if (filter.isArray()) {
            for (int i = 0; i < filter.getArrayNItems(); ++i) {
                QPDFObjectHandle f = filter.getArrayItem(i);
                if (!f.isName()) {
                    out.status = ImageStreamBytes::Status::Unsupported;
                    return out;
                }
                filters.push_back(fullFilterName(f.getName()));
                parameters.push_back(parms.isArray() ? parms.getArrayItem(i)
                                                     : QPDFObjectHandle::newNull());
            }
        } else if (!filter.isNull()) {
            out.status = ImageStreamBytes::Status::Unsupported;
            return out;
        }
        if (!filters.empty() && codecOf(filters.back()) != ImageCodec::None) {
            out.codec = codecOf(filters.back());
            QPDFObjectHandle p = parameters.back();
            out.codecParameters = p.isDictionary() ? A::wrap(p) : PdfObject();
            filters.pop_back();
            parameters.pop_back();
        }
        if (out.codec != ImageCodec::None)
            maxBytes = maxCodecBytes;
        for (const std::string& f : filters)
            if (!isGenericFilter(f)) {
                out.status = ImageStreamBytes::Status::Unsupported;
                return out;
            }

        if (filters.empty()) {
            // The raw bytes straight into the result: a JPEG passed through is
            // copied once, not through qpdf's growing buffer and its copy.
            LimitedSink sink(maxBytes);
            QPDFObjectHandle length = dict.getKey("/Length");
            if (length.isInteger() && length.getIntValue() > 0)
                sink.reserve(uint64_t(length.getIntValue()));
            bool ok = false;
            try {
                ok = h.pipeStreamData(&sink, nullptr, 0, qpdf_dl_none, false, false);
            } catch (const std::exception&) {
                // The sink's refusal, or a read failure, passed on by qpdf.
            }
            out.bytes = std::move(sink.bytes());
            if (sink.exceeded())
                out.status = ImageStreamBytes::Status::TooLarge;
            else if (!ok)
                out.status = ImageStreamBytes::Status::Damaged;
            return out;
        }
        std::shared_ptr<Buffer> raw = h.getRawStreamData();
        const size_t rawSize = raw ? raw->getSize() : 0;
        const char* rawBytes = raw ? reinterpret_cast<const char*>(raw->getBuffer()) : "";
        // A stream of our own with only the generic filters, in a scratch
        // document, so the source document is left untouched.
        std::unique_ptr<QPDF> scratch = makeQuietQPDF();
        scratch->emptyPDF();
        QPDFObjectHandle copy = scratch->newStream(std::string(rawBytes, rawSize));
        QPDFObjectHandle names = QPDFObjectHandle::newArray();
        QPDFObjectHandle parmArray = QPDFObjectHandle::newArray();
        for (size_t i = 0; i < filters.size(); ++i) {
            names.appendItem(QPDFObjectHandle::newName(filters[i]));
            parmArray.appendItem(parameters[i].isDictionary() ? copyParameters(parameters[i])
                                                              : QPDFObjectHandle::newNull());
        }
        copy.getDict().replaceKey("/Filter", names);
        copy.getDict().replaceKey("/DecodeParms", parmArray);
        LimitedSink sink(maxBytes);
        bool attempted = false;
        bool ok = false;
        try {
            ok = copy.pipeStreamData(&sink, &attempted, 0, qpdf_dl_specialized, true, false);
        } catch (const std::exception&) {
            // The sink's refusal, or a filter's failure, passed on by qpdf.
            attempted = true;
        }
        out.bytes = std::move(sink.bytes());
        if (sink.exceeded())
            out.status = ImageStreamBytes::Status::TooLarge;
        else if (!attempted)
            out.status = ImageStreamBytes::Status::Unsupported;
        else if (!ok)
            out.status = ImageStreamBytes::Status::Damaged;
        return out;
    } catch (const std::exception&) {
        out.status = ImageStreamBytes::Status::Damaged;
        return out;
    }
}

std::optional<std::string> readStreamData(const PdfObject& stream, uint64_t maxBytes) {
    ImageStreamBytes data = readImageStream(stream, maxBytes, 0);
    if (data.status != ImageStreamBytes::Status::Ok || data.codec != ImageCodec::None)
        return std::nullopt;
    return std::move(data.bytes);
}

} // namespace platform
