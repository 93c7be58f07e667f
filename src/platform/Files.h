#pragma once
// File-system services: home and scratch folders, existence tests, folder
// creation, exclusive creation of a new file, and atomic replacement.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// $HOME, else the password database's home folder, else "/tmp".
std::string homeFolder();
/// The system's temporary folder: $TMPDIR when it names a folder, else "/tmp".
std::string systemTempFolder();
/// Why $TMPDIR is passed over (it is set but names no folder); none when it is used or unset.
std::optional<std::string> temporaryFolderProblem();
/// This process's scratch folder for work folders and extracted images:
/// "corvala-<pid>" in the system's temporary folder (not created here). The
/// process id in the name lets a later run sweep the folders of processes
/// that died without cleaning up.
std::string scratchFolder();
std::string scratchFolderForProcess(long pid);

bool pathExists(const std::string& path);
bool isDirectory(const std::string& path);
/// Creates the folder and its missing parents; true when a folder is there afterwards.
bool createDirectories(const std::string& path);
/// Removes a file or a folder tree; true when nothing is left at the path.
bool removeAll(const std::string& path);

/// Creates an empty file at `path` only if nothing exists there (O_EXCL);
/// true when this call created it.
bool createFileExclusively(const std::string& path);
/// Creates a file at `path` holding `bytes`, only if nothing exists there
/// (O_EXCL); false when the name is taken (errno EEXIST) or writing failed,
/// in which case nothing is left at the path.
bool writeNewFile(const std::string& path, std::string_view bytes);
/// Writes `bytes` into the file at `path`, created or emptied first, not
/// through a temporary name: for a scratch file its maker has reserved (by
/// createFileExclusively) and nobody reads while it is written. False when
/// writing failed, in which case nothing is left at the path.
bool writeFileInPlace(const std::string& path, std::string_view bytes);
/// Creates a folder at `path` only if nothing exists there; true when this call created it.
bool createFolderExclusively(const std::string& path);

/// Renames `from` to `to`, replacing a file at `to`; true on success.
bool renamePath(const std::string& from, const std::string& to);

/// Path without its extension, and the extension without the dot (empty when
/// the last component has none). "/w/a.b.c" -> ("/w/a.b", "c").
std::pair<std::string, std::string> splitExtension(const std::string& path);
std::string lastPathComponent(const std::string& path);
std::string deletingLastPathComponent(const std::string& path);
std::string appendPathComponent(const std::string& folder, const std::string& name);

/// A free name beside `target` (".<name>.partial-<UUID>" in its folder) to
/// build a file or folder under before it moves into place: the same folder,
/// so the final rename never crosses file systems.
std::string siblingTemporaryPath(const std::string& target);
/// Moves a file or folder to `to` with rename(2) semantics (a file replaces a
/// file, a folder only an empty folder); across file systems the tree is
/// copied beside `to`, renamed into place and the source removed. False with
/// the reason in `why` when it failed; nothing is left half-moved at `to`.
bool moveIntoPlace(const std::string& from, const std::string& to, std::string& why);

/// Removes a path (file or folder tree) when the scope ends, unless released.
class RemoveOnExit {
public:
    explicit RemoveOnExit(std::string path) : path_(std::move(path)) {}
    ~RemoveOnExit() {
        if (!path_.empty())
            removeAll(path_);
    }
    RemoveOnExit(const RemoveOnExit&) = delete;
    RemoveOnExit& operator=(const RemoveOnExit&) = delete;
    void release() { path_.clear(); }

private:
    std::string path_;
};

/// Whole file as bytes; none when it cannot be read.
std::optional<std::string> readFile(const std::string& path);
/// Writes bytes to a temporary name next to `path` and moves it into place.
bool writeFileAtomically(const std::string& path, const std::string& bytes);
/// Writes all `size` bytes to the open file `fd`: at byte `at` when given
/// (the file offset stays), else at the file offset. Interrupted and short
/// writes go on; false on any other failure, errno telling why.
bool writeAll(int fd, const char* data, size_t size, std::optional<int64_t> at = std::nullopt);

} // namespace platform
