#pragma once
// The command's part in keeping the scratch area clean. Work folders and
// extracted images live in this process's scratch folder; the name reserved
// for the output in progress is recorded there too, so whatever way the
// process ends, the next run can release it: on the way out the folder is
// removed, and at start the folders of processes that are gone are swept
// (releasing their reserved names if nothing was written into them).

#include <mutex>
#include <string>

class ScratchArea {
public:
    ScratchArea();
    /// Releases the reservation and removes this process's scratch folder.
    ~ScratchArea();
    ScratchArea(const ScratchArea&) = delete;
    ScratchArea& operator=(const ScratchArea&) = delete;

    /// Removes the scratch folders of this user's processes that no longer run.
    static void sweepStaleFolders();

    void recordReservation(const std::string& outputPath);
    void forgetReservation();
    /// Releases the reservation and removes the folder: safe from any thread,
    /// for the way out on a second signal.
    void cleanUp();

    /// An empty file or an empty folder at `path` is removed: a reservation
    /// that never received its output.
    static void releaseReservation(const std::string& path);

private:
    std::mutex mutex_;
    std::string folder_;
    std::string reserved_;
};
