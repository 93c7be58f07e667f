#pragma once
// JBIG2 data embedded in PDF (PDF's JBIG2Decode), decoded through jbig2dec.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct Jbig2Page {
    int width = 0;
    int height = 0;
    /// 1-bit rows packed most significant bit first, each row starting on a
    /// byte; 0 is black (the filter's output, the inverse of JBIG2's own).
    std::string rows;
};

/// The first page of the embedded stream, with the /JBIG2Globals segments
/// (empty when there are none) read first. The decoder's memory is capped, so
/// a declared page far beyond what the data can fill is refused. None when no
/// page could be decoded.
std::optional<Jbig2Page> decodeJbig2(std::string_view data, std::string_view globals);

} // namespace platform
