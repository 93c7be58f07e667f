#pragma once
// CCITT Group 3 and Group 4 fax data (PDF's CCITTFaxDecode) decoded through
// libtiff.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// The filter's parameters, with the PDF defaults.
struct CcittParameters {
    int k = 0; ///< < 0 Group 4; 0 Group 3 one-dimensional; > 0 Group 3 mixed
    bool encodedByteAlign = false;
    bool endOfLine = false;
    bool blackIs1 = false;
    int columns = 1728;
    int rows = 0; ///< 0: as many as the data holds, up to the caller's height
};

/// 1-bit rows of `columns` pixels, packed most significant bit first, each
/// row starting on a byte: 0 is black unless blackIs1 (the filter's output).
/// `height` rows are returned; rows the data does not reach are white. None
/// when nothing could be decoded or the size is not acceptable.
std::optional<std::string> decodeCcitt(std::string_view data, const CcittParameters& parameters,
                                       int height);

} // namespace platform
