#pragma once
// File and settings utilities of the application shell: first free output
// names, size texts, folders, and settings getters that store their default
// on first use (so a key is present after its first read).

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QVCUtilities {
public:
    QVCUtilities() = delete;

    /// A path at which nothing exists yet: the path itself, else "base N.ext"
    /// (or "base N" without an extension) for N = 2, 3, ... Only tests: it
    /// reserves nothing.
    static std::string getNewPathby(const std::string& path);

    static bool boolValueForKey(const std::string& key, bool defaultValue);
    static int64_t integerValueForKey(const std::string& key, int64_t defaultValue);
    static double floatValueForKey(const std::string& key, double defaultValue);
    static std::string stringValueForKey(const std::string& key, const std::string& defaultValue);

    /// "%0.1f %cB" of a byte count: whole KiB below 1 MiB (so 1536 bytes read
    /// "1.0 KB"), MiB below 1 GiB, GiB above.
    static std::string sizeText(uint64_t bytes);
    /// The size text of a file; "" when nothing exists at the path.
    static std::string StringFileSizeAtPath(const std::string& path);

    static bool isDirectoryAtPath(const std::string& path);
    /// True when a folder is there afterwards (made with its parents).
    static bool createFolderIfNeed(const std::string& path);
    /// 1 for a path that is not a folder; for a folder, the files under it
    /// counted through its sub-folders.
    static uint64_t numberOfFilesInFolder(const std::string& path);

    // File types by the path's extension, compared in lower case.
    static bool isPath(const std::string& path, const std::string& type);
    static bool isPathHaveTypes(const std::string& path, const std::vector<std::string>& types);
    /// With `needExists`, false unless something is there and its being a
    /// folder equals `shouldBeDirectory`; then the type test.
    static bool isPathNeedExists(const std::string& path, const std::string& type, bool needExists,
                                 bool shouldBeDirectory);
    static bool isPathIsDirectory(const std::string& path, const std::string& type,
                                  bool isDirectory);
    static bool isFolderFileTypeForPath(const std::string& path); ///< rtfd, app, xcodeproj
    static bool isWordTypeForPath(const std::string& path);       ///< doc, docx
    static bool isPictureTypeForPath(const std::string& path);
    static bool isVideoTypeForPath(const std::string& path);
    static bool isAudioTypeForPath(const std::string& path);
    static bool isZipTypeForPath(const std::string& path); ///< zip, ipa, epub
    /// A zipped document package: the file name ends in .key.zip,
    /// .numbers.zip, .pages.zip or .rtfd.zip.
    static bool isZipedDocTypeForPath(const std::string& path);
    static bool isTxtTypeForPath(const std::string& path);
    /// No extension, or doc, docx, rtf, txt, html, htm.
    static bool isGoogleDocTypeForPath(const std::string& path);
    static bool IsPDFTypeForPath(const std::string& path);   ///< pdf, ai
    static bool IsImageTypeForPath(const std::string& path); ///< pictures, j2k, tga
    static bool IsZipTypeForPath(const std::string& path);
    static bool IsRarTypeForPath(const std::string& path);

    /// Base64 of the bytes (RFC 4648 alphabet, "=" padding).
    static std::string encodeBase64(const std::string& bytes);
    /// An http(s) URL from what a user typed: trimmed; none when empty or
    /// with a scheme other than http/https; "http://" added when it has none.
    static std::optional<std::string> smartURLForString(const std::string& text);
    /// The first free "folder/name_NNNNNN.ext" (six digits, from 1).
    static std::string NewImportImagePath(const std::string& folder, const std::string& name,
                                          const std::string& extension);
    /// Scratch paths (the process's scratch folder): "Temp-<UUID>.png",
    /// "thumbnails/Temp-<UUID>.png" (the folder made first), "<prefix>-<UUID>".
    static std::string tempFile();
    static std::string cacheThumbFile();
    static std::string pathForTemporaryFileWithPrefix(const std::string& prefix);

    /// Indexes of the first element of `list` equal to each of `objects`,
    /// ascending and without repeats; objects the list lacks are skipped.
    template <typename T>
    static std::vector<size_t> indexSetOfObjects(const std::vector<T>& list,
                                                 const std::vector<T>& objects);
};

template <typename T>
std::vector<size_t> QVCUtilities::indexSetOfObjects(const std::vector<T>& list,
                                                    const std::vector<T>& objects) {
    std::vector<size_t> indexes;
    for (const T& object : objects) {
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i] == object) {
                indexes.push_back(i);
                break;
            }
        }
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}
