#pragma once
// Keeps the recovery copy of the text being written, on a thread of its own: a write
// flushes the copy to the disk, which can take long on a busy disk, and typing must not
// wait for it. Requests replace each other: only the newest text is written. The thread
// starts with the first request: most sessions never ask for one, and the window's start
// should not pay for it.
#include "diary/recovery_files.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class TRecoveryKeeper {
public:
    // `diaryFolder` absolute; copies name it.
    TRecoveryKeeper(std::string diaryFolder, std::string stateFolder);
    // Finishes what was asked; the copy on disk stays.
    ~TRecoveryKeeper();
    TRecoveryKeeper(const TRecoveryKeeper&) = delete;
    TRecoveryKeeper& operator=(const TRecoveryKeeper&) = delete;

    // Writes `copy` soon; its folder and time of writing are filled in.
    void Keep(TRecoveryCopy copy);
    // Removes the copy soon.
    void Discard();
    // Returns once everything asked so far is done.
    void Flush();
    // From now on the copy on disk stays as it is: the program is ending, and whatever
    // a question cut short by that answers must not remove it.
    void Freeze();

    // 0, or the errno of the last write that failed (reset by a write that succeeds).
    int LastError() const;
    // Called on the keeper's thread after each write, with its result.
    std::function<void(const TRecoveryCopy& copy, int err)> OnWritten;

private:
    void Run();
    // With `mutex_` held: hands `request` to the thread, starting it if need be.
    void Post(std::optional<TRecoveryCopy> request);

    const std::string folder_;
    TRecoveryWriter writer_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    // The newest request not yet taken: a copy to write, or nothing to remove.
    std::optional<std::optional<TRecoveryCopy>> pending_;
    bool busy_ = false;
    bool frozen_ = false;
    bool stopping_ = false;
    int lastError_ = 0;
    std::thread thread_;
};
