#pragma once
// Writes one zip file (the final Office Open XML package) with minizip over
// zlib: plain deflated entries, no entries for folders, entry names joined
// with "/". Every call answers whether it succeeded; a file that cannot be
// read or a folder that cannot be listed fails the call (it never becomes an
// empty or missing entry behind a success). The caller removes a zip whose
// building failed.
//
// The file is written front to back: minizip's output goes through a buffer
// of this archive, where it fills in each entry's sizes and CRC-32 after the
// entry's data; the buffer goes to the file at entry boundaries (and during an
// entry only past a few MiB), so a package costs a few large writes and no
// seeks. All entries are compressed by one reused compressor.
//
// Besides whole files, an entry can be streamed in (openEntry, writeEntry,
// closeEntry: one entry open at a time) or come compressed ahead of time
// (QVDeflatedPart, QVDeflatedPartStore), so parts need not pass through files
// first. Entries named as images of a compressed format (.png, .jpeg, .jp2,
// .gif) are stored as they are, not deflated again, unless a quick trial shows
// deflate shrinks them markedly.

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QVDeflatedPart;
class QVDeflatedPartStore;
class XMLOutput;

class QVZipArchive {
public:
    QVZipArchive();
    /// Closes an open zip file as CloseZipFile2() does.
    ~QVZipArchive();
    QVZipArchive(const QVZipArchive&) = delete;
    QVZipArchive& operator=(const QVZipArchive&) = delete;

    /// Creates the zip file at the path, replacing a file there; true when it is open for adding.
    bool CreateZipFile2(const std::string& zipFile);
    /// Adds the file's whole content as one entry, streamed in chunks.
    bool addFileToZip(const std::string& file, const std::string& newname);
    /// Adds every file below the folder, entry names "newname/<relative path>",
    /// in name order; false at the first item that fails.
    bool addFolderToZip(const std::string& folder, const std::string& newname);
    /// Writes the central directory and closes the file.
    bool CloseZipFile2();

    /// Starts an entry dated now (or the fixed date); false when no zip file
    /// is open, an entry is already open or the entry cannot be started.
    bool openEntry(const std::string& newname);
    /// Appends bytes to the open entry; false when none is open or writing failed.
    bool writeEntry(std::string_view bytes);
    /// Ends the open entry; false when it could not be completed.
    bool closeEntry();
    bool entryOpen() const;
    /// The errno of the first failed write to the file (0 while none failed),
    /// for naming the cause (a full disk) after a call answered false.
    int writeErrno() const;
    /// Opens an entry and gives an XML writer's output into it, which ends the
    /// entry when it is closed (or, unclosed, when it is destroyed); none when
    /// the entry cannot be opened.
    std::unique_ptr<XMLOutput> entryOutput(const std::string& newname);
    /// Adds the part `part` of the store as the entry `newname`, copying its
    /// compressed bytes; false when the store has no such part.
    bool addStoredPartToZip(const QVDeflatedPartStore& store, const std::string& part,
                            const std::string& newname);
    /// Whether an entry of this name may be stored rather than deflated: an
    /// image whose format compresses it already. It is stored unless its
    /// first 16 KiB shrink by a tenth or more under deflate's fastest level.
    static bool isStoredEntryName(const std::string& newname);
    /// Adds bytes held in memory as one entry.
    bool addDataToZip(std::string_view bytes, const std::string& newname);
    /// Adds a part compressed ahead of time (finished) as one entry, copying
    /// its compressed bytes.
    bool addDeflatedPartToZip(QVDeflatedPart& part, const std::string& newname);

    /// When set, every entry carries this date instead of its file's
    /// modification time (or the moment it is written), so packages are
    /// byte-for-byte reproducible.
    void setFixedEntryDate(std::optional<std::time_t> date) { fixedEntryDate_ = date; }
    std::optional<std::time_t> fixedEntryDate() const { return fixedEntryDate_; }

private:
    struct Impl;
    /// Opens an entry dated `modified` (local time) unless a fixed date is set;
    /// raw: the caller hands over compressed bytes, or, `stored`, the bytes
    /// that are kept as they are.
    bool openRawEntry(const std::string& newname, std::time_t modified, bool stored = false);
    /// Whether deflating bytes like these shrinks them by a tenth or more.
    bool worthDeflating(std::string_view sample);
    /// Hands each piece of a stored entry's bytes to the archive.
    using WriteStored = std::function<bool(const char*, size_t)>;
    /// One stored entry whose bytes `produce` hands over through the function it gets.
    bool writeStoredEntry(const std::string& newname, std::time_t modified,
                          const std::function<bool(const WriteStored&)>& produce);
    bool finishRawEntry(uint64_t uncompressedSize, uint32_t crc);

    std::unique_ptr<Impl> impl_;
    std::optional<std::time_t> fixedEntryDate_;
};
