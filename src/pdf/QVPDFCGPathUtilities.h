#pragma once
// Paths as plain values that can be kept in collections, copied with the
// graphics state and handed between layers (clip paths, slide freeforms).

#include "platform/Path.h"

#include <optional>
#include <vector>

/// One element: type 0 move, 1 line, 2 quadratic curve, 3 cubic curve,
/// 4 close, with its 1, 1, 2, 3 or 0 points (control points first).
struct QVPDFSerializedPathElement {
    int type = 0;
    std::vector<platform::Point> points;
    bool operator==(const QVPDFSerializedPathElement&) const = default;
};

struct QVPDFSerializedPath {
    /// True when every element of the source path could be represented.
    bool complete = true;
    std::vector<QVPDFSerializedPathElement> elements;
    bool operator==(const QVPDFSerializedPath&) const = default;
};

class QVPDFCGPathUtilities {
public:
    QVPDFCGPathUtilities() = delete;
    /// The path's elements in order; none when one of them is of another kind.
    static std::optional<QVPDFSerializedPath> NSArrayWithCGPath(const platform::Path& path);
    /// The path again; none when an element has a type outside 0..4 or fewer
    /// points than its type needs. `complete` is not looked at.
    static std::optional<platform::Path> CGPathWithNSArray(const QVPDFSerializedPath& serialized);
};
