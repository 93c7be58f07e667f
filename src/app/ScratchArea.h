#pragma once
// Keeping the scratch area and the output folders clean, however a process
// ends. Work folders and extracted images live in this process's scratch
// folder ($TMPDIR/corvala-<pid>); the output name reserved for the document
// in progress is recorded there too. On the way out the reservation is
// released and the folder removed; a watcher process started with
// `watchFromOutside` does the same once this process has gone, however it
// went (a second Ctrl-C, kill -9, a crash); and each run first sweeps what
// processes that are gone left behind, in case the watcher went with them.
//
// The command line and the desktop app share this.

#include <mutex>
#include <string>

class ScratchArea {
public:
    /// This process's scratch folder (not created here).
    ScratchArea();
    /// Releases the reservation and removes this process's scratch folder.
    ~ScratchArea();
    ScratchArea(const ScratchArea&) = delete;
    ScratchArea& operator=(const ScratchArea&) = delete;

    const std::string& folder() const { return folder_; }

    /// Removes the scratch folders of this user's processes that no longer
    /// run, releasing the output names they had reserved.
    static void sweepStaleFolders();

    /// Starts a small process that waits for this one to end and then
    /// releases the reservation and removes the folder. Once this process is
    /// gone none of its threads can write into the folder any more, which
    /// removal from inside (a signal's way out) cannot promise. Call it before
    /// any thread is started (it forks). False when it could not be started.
    bool watchFromOutside();

    void recordReservation(const std::string& outputPath);
    void forgetReservation();
    /// Releases the reservation and removes the folder: safe from any thread,
    /// for the way out on a second signal.
    void cleanUp();

    /// What a run that ended early left of the output reserved at `path`: an
    /// empty file or an empty folder at the name itself (a reservation that
    /// never received its output) and the hidden names beside it that the
    /// output was being written under (".NAME.part", ".NAME2.part",
    /// ".NAME.partial-..."). A finished output is kept.
    static void releaseReservation(const std::string& path);

private:
    std::mutex mutex_;
    std::string folder_;
    std::string reserved_;
};
