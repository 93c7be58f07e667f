#include "platform/image/CcittCodec.h"

#include "platform/LoadedLibrary.h"
#include "platform/image/RasterImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <tiffio.h>

namespace platform {

namespace {

// libtiff's functions that the decoder uses, taken from the library on the
// first fax image (see LoadedLibrary).
#define CORVALA_TIFF_FUNCTIONS(X)                                                              \
    X(ClientOpenExt) X(Close) X(OpenOptionsAlloc) X(OpenOptionsFree)                           \
    X(OpenOptionsSetErrorHandlerExtR) X(OpenOptionsSetWarningHandlerExtR) X(ReadScanline)      \
    X(ScanlineSize64) X(SetField)

struct TiffLibrary {
#define CORVALA_TIFF_MEMBER(name) decltype(&::TIFF##name) name = nullptr;
    CORVALA_TIFF_FUNCTIONS(CORVALA_TIFF_MEMBER)
#undef CORVALA_TIFF_MEMBER
    bool loaded = false; // the library and every function were found
};

CORVALA_LOADED_LIBRARY(TiffLibrary, tiff, CORVALA_TIFF_SONAME, "TIFF", CORVALA_TIFF_FUNCTIONS)

struct MemoryFile {
    std::string bytes;
    toff_t offset = 0;
};

tsize_t readProc(thandle_t h, tdata_t buffer, tsize_t size) {
    auto* f = static_cast<MemoryFile*>(h);
    if (size <= 0 || f->offset >= f->bytes.size())
        return 0;
    size_t n = std::min<size_t>(size_t(size), f->bytes.size() - f->offset);
    std::memcpy(buffer, f->bytes.data() + f->offset, n);
    f->offset += n;
    return tsize_t(n);
}

tsize_t writeProc(thandle_t, tdata_t, tsize_t) {
    return 0;
}

toff_t seekProc(thandle_t h, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    toff_t base = whence == SEEK_CUR ? f->offset : whence == SEEK_END ? f->bytes.size() : 0;
    f->offset = base + offset;
    return f->offset;
}

int closeProc(thandle_t) {
    return 0;
}
toff_t sizeProc(thandle_t h) {
    return static_cast<MemoryFile*>(h)->bytes.size();
}
int mapProc(thandle_t, tdata_t*, toff_t*) {
    return 0;
}
void unmapProc(thandle_t, tdata_t, toff_t) {}
int quietHandler(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

void put16(std::string& s, uint16_t v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}
void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(char((v >> (8 * i)) & 0xFF));
}

/// A little-endian TIFF of one strip holding the fax data.
std::string wrapInTiff(std::string_view data, const CcittParameters& p, uint32_t rows) {
    struct Entry {
        uint16_t tag, type;
        uint32_t value;
    };
    const bool group4 = p.k < 0;
    std::vector<Entry> entries = {
        {256, 4, uint32_t(p.columns)},
        {257, 4, rows},
        {258, 3, 1},
        {259, 3, group4 ? 4u : 3u},
        {262, 3, 0}, // white is zero: the decoder's 1 bits are black
        {273, 4, 0}, // strip offset, set below
        {277, 3, 1},
        {278, 4, rows},
        {279, 4, uint32_t(data.size())},
    };
    if (group4)
        entries.push_back({293, 4, 0});
    else
        entries.push_back({292, 4, (p.k > 0 ? 1u : 0u) | (p.encodedByteAlign ? 4u : 0u)});
    const uint32_t ifdSize = 2 + 12 * uint32_t(entries.size()) + 4;
    entries[5].value = 8 + ifdSize;
    std::string tiff = "II*";
    tiff.push_back('\0');
    put32(tiff, 8);
    put16(tiff, uint16_t(entries.size()));
    for (const Entry& e : entries) {
        put16(tiff, e.tag);
        put16(tiff, e.type);
        put32(tiff, 1);
        if (e.type == 3) {
            put16(tiff, uint16_t(e.value));
            put16(tiff, 0);
        } else {
            put32(tiff, e.value);
        }
    }
    put32(tiff, 0);
    tiff.append(data);
    return tiff;
}

/// Decodes into `out` (rows x rowBytes, white = 0 bits there); the number of
/// rows decoded.
int decodeRows(std::string_view data, const CcittParameters& p, uint32_t rows, int faxMode,
               std::string& out) {
    if (!tiff().loaded)
        return 0;
    MemoryFile file{wrapInTiff(data, p, rows)};
    TIFFOpenOptions* options = tiff().OpenOptionsAlloc();
    if (!options)
        return 0;
    tiff().OpenOptionsSetErrorHandlerExtR(options, quietHandler, nullptr);
    tiff().OpenOptionsSetWarningHandlerExtR(options, quietHandler, nullptr);
    TIFF* tif = tiff().ClientOpenExt("ccitt", "rm", &file, readProc, writeProc, seekProc, closeProc,
                                  sizeProc, mapProc, unmapProc, options);
    tiff().OpenOptionsFree(options);
    if (!tif)
        return 0;
    if (faxMode >= 0)
        tiff().SetField(tif, TIFFTAG_FAXMODE, faxMode);
    const size_t rowBytes = (size_t(p.columns) + 7) / 8;
    int decoded = 0;
    if (size_t(tiff().ScanlineSize64(tif)) == rowBytes) {
        for (uint32_t y = 0; y < rows; ++y) {
            if (tiff().ReadScanline(tif, out.data() + y * rowBytes, y, 0) < 0)
                break;
            ++decoded;
        }
    }
    tiff().Close(tif);
    return decoded;
}

} // namespace

std::optional<std::string> decodeCcitt(std::string_view data, const CcittParameters& p,
                                       int height) {
    if (data.empty() || !isAcceptableImageSize(p.columns, height))
        return std::nullopt;
    const uint32_t rows = uint32_t(p.rows > 0 ? std::min(p.rows, height) : height);
    const size_t rowBytes = (size_t(p.columns) + 7) / 8;
    std::string out(rowBytes * size_t(height), '\0');
    int decoded = decodeRows(data, p, rows, -1, out);
    if (decoded < int(rows) && !p.endOfLine) {
        // Rows written without end-of-line codes stop the default decoder early.
        std::string retry(out.size(), '\0');
        int mode = FAXMODE_NOEOL | (p.encodedByteAlign ? FAXMODE_BYTEALIGN : 0);
        int again = decodeRows(data, p, rows, mode, retry);
        if (again > decoded) {
            decoded = again;
            out.swap(retry);
        }
    }
    if (decoded == 0)
        return std::nullopt;
    // libtiff gives 1 for black; the filter's output has 0 for black unless BlackIs1.
    if (!p.blackIs1)
        for (char& c : out)
            c = char(~static_cast<unsigned char>(c));
    return out;
}

} // namespace platform
