#pragma once
// Parsed resource objects of one document, by object id, so that a colour
// space, tint transform or shading that many pages (or many resource entries)
// refer to is parsed once and shared. It also tracks the indirect objects a
// parse is inside of, which stops definitions that refer to themselves.
//
// One cache belongs to one open document and is used only on that document's
// serial queue; it holds only objects that are immutable after their parse.

#include "platform/pdf/PdfObject.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class QVPDFColorSpace;
class QVPDFFunction;
class QVPDFShading;

class QVPDFResourceCache {
public:
    /// Nesting a definition may reach (Indexed base inside a Separation
    /// alternate inside ...); real files use three or four levels.
    static constexpr int kMaxDepth = 16;

    std::shared_ptr<const QVPDFColorSpace> colorSpace(const platform::PdfObject& object) const;
    void storeColorSpace(const platform::PdfObject& object,
                         std::shared_ptr<const QVPDFColorSpace> space);
    std::shared_ptr<const QVPDFFunction> function(const platform::PdfObject& object) const;
    void storeFunction(const platform::PdfObject& object,
                       std::shared_ptr<const QVPDFFunction> function);
    std::shared_ptr<const QVPDFShading> shading(const platform::PdfObject& object) const;
    void storeShading(const platform::PdfObject& object,
                      std::shared_ptr<const QVPDFShading> shading);

    /// Marks the start of the parse of `object` for as long as it lives.
    /// `entered()` is false when the object is already being parsed further
    /// out (it refers to itself) or the nesting is too deep; the parse must
    /// then give up.
    class Scope {
    public:
        Scope(QVPDFResourceCache& cache, const platform::PdfObject& object);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        bool entered() const { return entered_; }

    private:
        QVPDFResourceCache& cache_;
        bool entered_ = false;
        bool pushedId_ = false;
    };

private:
    template <typename T> using Map = std::unordered_map<uint64_t, std::shared_ptr<const T>>;
    Map<QVPDFColorSpace> colorSpaces_;
    Map<QVPDFFunction> functions_;
    Map<QVPDFShading> shadings_;
    int depth_ = 0;
    std::vector<uint64_t> openIds_;
};
