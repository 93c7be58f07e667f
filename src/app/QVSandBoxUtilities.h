#pragma once
// The one output folder the user chose, kept in the settings as a plain path
// under "QVDefaulExportDirectory_SandBox". Linux has no per-folder access
// grants, so starting and stopping access only answer whether the folder is
// usable.

#include <optional>
#include <string>

class QVSandBoxUtilities {
public:
    QVSandBoxUtilities() = delete;

    static const char* const kDefaultKey; // "QVDefaulExportDirectory_SandBox"

    /// The stored folder; none when nothing (or an empty path) is stored or
    /// no folder exists there any more.
    static std::optional<std::string> UserSelectedOutputURLBookmark();
    static std::optional<std::string> UserSelectedOutputURLBookmarkForKey(const std::string& key);
    /// The stored folder exists and is readable and writable.
    static bool isReadAndWritableUserSelectedOutputURLBookmark();
    static bool isReadAndWritableUserSelectedOutputURLBookmarkForKey(const std::string& key);
    static bool isReadAndWritableUserSelectedOutputURL(const std::string& folder);
    static bool startAccessingUserSelectedOutputURLBookmark();
    static void stopAccessingUserSelectedOutputURLBookmark();
    /// Stores an absolute folder path (a relative one is made absolute); false,
    /// keeping what was stored, for an empty path or one that is not a folder.
    static bool SaveUserSelectedOutputURLBookmark(const std::string& folder);
    static bool SaveUserSelectedOutputURLBookmarkForKey(const std::string& folder,
                                                       const std::string& key);
    static bool RemoveUserSelectedOutputURLBookmarkForKey(const std::string& key);

    /// Why a folder cannot take output ("does not exist", "is not a folder",
    /// "is not writable (permission denied)"); none when it can.
    static std::optional<std::string> problemWithFolder(const std::string& folder);
};
