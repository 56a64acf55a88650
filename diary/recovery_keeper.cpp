#include "diary/recovery_keeper.h"

#include <ctime>

TRecoveryKeeper::TRecoveryKeeper(std::string diaryFolder, std::string stateFolder)
    : folder_(diaryFolder), writer_(std::move(diaryFolder), std::move(stateFolder)) {}

TRecoveryKeeper::~TRecoveryKeeper() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void TRecoveryKeeper::Post(std::optional<TRecoveryCopy> request) {
    pending_.emplace(std::move(request));
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
}

void TRecoveryKeeper::Keep(TRecoveryCopy copy) {
    copy.folder = folder_;
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    copy.writtenSec = now.tv_sec;
    copy.writtenNsec = now.tv_nsec;
    {
        std::lock_guard lock(mutex_);
        if (frozen_) return;
        Post(std::move(copy));
    }
    wake_.notify_one();
}

void TRecoveryKeeper::Discard() {
    {
        std::lock_guard lock(mutex_);
        // Before the first copy was asked for, there is none of ours to remove.
        if (frozen_ || !thread_.joinable()) return;
        Post(std::nullopt);
    }
    wake_.notify_one();
}

void TRecoveryKeeper::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

void TRecoveryKeeper::Freeze() {
    std::lock_guard lock(mutex_);
    frozen_ = true;
}

int TRecoveryKeeper::LastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

void TRecoveryKeeper::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_) return;
        std::optional<TRecoveryCopy> job = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        lock.unlock();
        int err = 0;
        if (job)
            err = writer_.Write(*job);
        else
            writer_.Remove();
        if (job && OnWritten) OnWritten(*job, err);
        lock.lock();
        if (job) lastError_ = err;
        busy_ = false;
        if (!pending_) idle_.notify_all();
    }
}
