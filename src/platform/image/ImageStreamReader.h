#pragma once
// Reading the data of an image stream (an image XObject, a mask, or an inline
// image with its abbreviated keys and filter names): the generic filters
// (Flate, LZW, ASCII85, ASCIIHex, RunLength, with predictors) are undone, a
// final image codec (DCT, JPX, CCITT fax, JBIG2) is left for the image code.
// The output goes through a counting sink that stops at a byte limit, so a
// decompression bomb is refused after reading no more than the limit.

#include "platform/pdf/PdfObject.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class ImageCodec { None, DCT, JPX, CCITTFax, JBIG2 };

struct ImageStreamBytes {
    enum class Status {
        Ok,
        TooLarge,    ///< stopped at the limit; `bytes` holds what came before it
        Damaged,     ///< a filter failed; `bytes` holds what it produced before
        Unsupported, ///< a filter we do not undo, or a codec before another filter
    };
    Status status = Status::Ok;
    std::string bytes;
    ImageCodec codec = ImageCodec::None;
    /// The codec's entry of /DecodeParms (or /DP): a dictionary or a null object.
    PdfObject codecParameters;
};

/// The stream's data with its generic filters undone: at most `maxBytes` of
/// it, or `maxCodecBytes` when an image codec is left to undo.
ImageStreamBytes readImageStream(const PdfObject& stream, uint64_t maxBytes,
                                 uint64_t maxCodecBytes);

/// Fully decoded data of a stream without image codec (lookup tables, ICC
/// profiles, JBIG2 globals); none when it cannot be decoded or passes the limit.
std::optional<std::string> readStreamData(const PdfObject& stream, uint64_t maxBytes);

} // namespace platform
