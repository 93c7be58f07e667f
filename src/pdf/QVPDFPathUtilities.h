#pragma once
// File-system conventions every document writer follows: the scratch folder
// (the process's folder in the system's temporary folder, so a home folder
// that cannot be written does not stop a conversion), work folders
// "Temp-<UUID>", first free names,
// folder creation and resource lookup in the QVPDFParser bundle.

#include <optional>
#include <string>

class QVPDFPathUtilities {
public:
    QVPDFPathUtilities() = delete;

    /// Path of a new work folder: <scratch>/Temp-<UUID>. Not created.
    static std::string tempFolder();
    /// The system's temporary folder plus "/Temp-<UUID>". Not created.
    static std::string tempFolder0();
    /// <scratch>/Temp-<UUID>.png. Not created.
    static std::string tempFile();

    /// The first free path of the sequence path, base2.ext, base3.ext, ...
    /// (`separator` goes between base and number), reserved by creating an
    /// empty file there exclusively, so no one else can take it; none when no
    /// candidate could be created (for example the folder is missing).
    static std::optional<std::string> getNewPathby(const std::string& path,
                                                   const std::string& separator = "");
    /// The same for a folder: the first free candidate is created as an empty folder.
    static std::optional<std::string> getNewFolderPathby(const std::string& path,
                                                         const std::string& separator = "");

    /// A document writer's folders: the scratch folder (created if needed)
    /// and, inside it, a new folder named after the output file (first free
    /// name). Throws std::runtime_error naming the folder and the cause.
    struct WorkFolders {
        std::string scratch, work;
    };
    static WorkFolders makeWorkFolders(const std::string& fileName);

    /// True when a folder exists at the path or was created (with its parents).
    static bool createFolderIfNeed(const std::string& path);
    static bool isDirectoryAtPath(const std::string& path);
    /// "Folder/name" or "name" inside the QVPDFParser resource bundle; none when missing.
    static std::optional<std::string> PathInLibBundleForResource(const std::string& relative);
};
