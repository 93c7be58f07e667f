#pragma once
// Internal to the platform layer: the input qpdf reads a PDF file through.
// qpdf seeks before nearly every object, token and stream it reads; through a
// stdio stream each seek is an lseek(2) and each read refills a 4 KiB buffer.
// This source reads with pread(2) into a few cached blocks, so a seek is an
// assignment and objects that sit close together cost one system call.
// It behaves as qpdf's own buffer source does: reads past the end give
// nothing, a seek before the start raises. The file is taken at the size it
// has when opened; a file that shrinks later reads as ending early.

#include <qpdf/InputSource.hh>

#include <array>
#include <memory>
#include <string>

namespace platform {

class PdfFileSource : public InputSource {
public:
    /// Opens the file; raises std::runtime_error when it cannot be opened.
    explicit PdfFileSource(const std::string& path);
    ~PdfFileSource() override;
    PdfFileSource(const PdfFileSource&) = delete;
    PdfFileSource& operator=(const PdfFileSource&) = delete;

    qpdf_offset_t findAndSkipNextEOL() override;
    std::string const& getName() const override { return name_; }
    qpdf_offset_t tell() override { return offset_; }
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override { offset_ = 0; }
    size_t read(char* buffer, size_t length) override;
    void unreadCh(char ch) override;

private:
    static constexpr size_t kBlockSize = 64 * 1024;
    static constexpr size_t kBlocks = 4;
    struct Block {
        qpdf_offset_t start = -1; // file offset of data[0]; -1 while empty
        size_t size = 0;
        uint64_t lastUse = 0;
        std::unique_ptr<char[]> data;
    };

    /// The cached block holding `offset` (loaded if needed), or none at the end of the file.
    const Block* blockAt(qpdf_offset_t offset);
    /// pread that retries interrupted and short reads; raises on an I/O error.
    size_t readAt(char* buffer, size_t length, qpdf_offset_t offset) const;

    std::string name_;
    int fd_ = -1;
    qpdf_offset_t size_ = 0;
    qpdf_offset_t offset_ = 0;
    uint64_t useClock_ = 0;
    std::array<Block, kBlocks> blocks_;
};

} // namespace platform
