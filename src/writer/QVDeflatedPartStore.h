#pragma once
// Package parts that are made before the archive can take them (the slides of
// a presentation, the body of a document written page by page), compressed
// while they are written and kept until the package is put together in its
// fixed entry order: the content types, which name every slide, come first.
//
// All parts share one compressor and one store of compressed bytes: in memory
// up to a limit, then in one spill file, so a document of thousands of parts
// costs neither a file per part nor unbounded memory. The archive copies a
// part's compressed bytes into its entry without compressing again.

#include "writer/QVDeflater.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class XMLOutput;

class QVDeflatedPartStore {
public:
    static constexpr size_t kDefaultMemoryLimit = 8 * 1024 * 1024;

    struct Part {
        std::string name;
        uint64_t offset = 0; ///< of its compressed bytes in the store
        uint64_t compressedSize = 0;
        uint64_t size = 0;
        uint32_t crc = 0;
    };

    /// `spillPath`: the file for compressed bytes beyond `memoryLimit`; made
    /// only when needed and removed with the store.
    explicit QVDeflatedPartStore(std::string spillPath, size_t memoryLimit = kDefaultMemoryLimit);
    ~QVDeflatedPartStore();
    QVDeflatedPartStore(const QVDeflatedPartStore&) = delete;
    QVDeflatedPartStore& operator=(const QVDeflatedPartStore&) = delete;

    /// Starts the part `name` (replacing a finished part of that name) and
    /// gives an XML writer's output into it: its close() records the part.
    /// An output destroyed unclosed (a writer that threw) leaves nothing of
    /// the part. None while another part is open or when the compressor
    /// cannot be set up. The store must outlive the output.
    std::unique_ptr<XMLOutput> output(const std::string& name);
    /// The finished part of that name; null when there is none.
    const Part* part(const std::string& name) const;
    /// How many parts are stored: a mark to go back to with removeFrom().
    size_t count() const { return parts_.size(); }
    /// Drops the parts stored after the mark (a slide whose writing failed
    /// after its relationships were stored), with their bytes.
    void removeFrom(size_t mark);
    /// Hands the part's compressed bytes, in order, to `sink`.
    bool readCompressed(const Part& part,
                        const std::function<bool(const char*, size_t)>& sink) const;

private:
    friend class QVDeflatedPartStoreOutput;
    bool append(std::string_view bytes);
    bool finish();
    void abandon();
    bool keep(const char* data, size_t size);
    /// Cuts the stored bytes back to `end`.
    void truncate(uint64_t end);

    QVDeflater deflater_;
    std::string spillPath_;
    size_t memoryLimit_;
    std::string memory_; ///< the first bytes of the store
    int spillFd_ = -1;   ///< the bytes past memory_, from offset memory_.size()
    uint64_t end_ = 0;   ///< bytes stored
    std::vector<Part> parts_;
    bool open_ = false;
    bool failed_ = false; ///< of the open part
    std::string openName_;
    uint64_t openOffset_ = 0;
};
