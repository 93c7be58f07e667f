#pragma once
// Writes one zip file (the final Office Open XML package) with minizip over
// zlib: plain deflated entries, no entries for folders, entry names joined
// with "/". Every call answers whether it succeeded; a file that cannot be
// read or a folder that cannot be listed fails the call (it never becomes an
// empty or missing entry behind a success). The caller removes a zip whose
// building failed.

#include <ctime>
#include <optional>
#include <string>

class QVZipArchive {
public:
    QVZipArchive() = default;
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

    /// When set, every entry carries this date instead of its file's
    /// modification time, so packages are byte-for-byte reproducible.
    void setFixedEntryDate(std::optional<std::time_t> date) { fixedEntryDate_ = date; }
    std::optional<std::time_t> fixedEntryDate() const { return fixedEntryDate_; }

private:
    void* zipFile_ = nullptr; // minizip's zipFile handle
    std::optional<std::time_t> fixedEntryDate_;
};
