#pragma once
// Recovery copies on disk: where they live, writing one so that it is always whole, and
// finding those a Mekuri left behind when it ended without saving.
//
// A copy lives beside the diary, hidden (".Mekuri-2026127-k3J9xQ.recovery": the day file's
// name without ".dat", then a tag of the running program), so that it travels with a
// synced diary folder; when that folder cannot be written, in the state folder. While the
// program that wrote it runs, it holds an flock(2) on the copy, so another Mekuri never
// takes it for abandoned.
#include "diary/recovery_copy.h"

#include <string>
#include <string_view>
#include <vector>

// $XDG_STATE_HOME/Mekuri, else $HOME/.local/state/Mekuri; empty when neither is set.
std::string RecoveryStateFolder(const char* xdgStateHome, const char* home);
std::string RecoveryStateFolder();

bool IsRecoveryCopyName(std::string_view name);

// Writes the copies of one running program. Each write replaces the last one, in the
// diary folder when it can, else in the state folder.
class TRecoveryWriter {
public:
    // `diaryFolder` must be absolute.
    TRecoveryWriter(std::string diaryFolder, std::string stateFolder);
    // The copy stays: the program may be ending with text the user has not saved.
    ~TRecoveryWriter();
    TRecoveryWriter(const TRecoveryWriter&) = delete;
    TRecoveryWriter& operator=(const TRecoveryWriter&) = delete;

    // 0, or the errno of the last folder tried (E2BIG for a text over the size a copy may
    // have, EFBIG for the file-size limit); the previous copy is left as it was then. A
    // copy is 0600 wherever it is written; a symbolic link found in its place is refused
    // with ELOOP, without trying the state folder. The state folder is used only when it
    // is the user's and open to no one else (MakePrivateFolder).
    int Write(const TRecoveryCopy& copy);
    void Remove();
    // The copy on disk now; empty when there is none.
    const std::string& Path() const { return path_; }

private:
    std::string diaryFolder_;
    std::string stateFolder_;
    std::string tag_;
    std::string path_;
    int fd_ = -1;
};

// A copy found at start-up. It stays locked while this object lives, so that a second
// Mekuri starting at the same moment does not offer it too.
struct TFoundCopy {
    std::string path;
    TRecoveryCopy copy;
    int fd = -1;

    TFoundCopy() = default;
    TFoundCopy(TFoundCopy&& other) noexcept;
    TFoundCopy& operator=(TFoundCopy&& other) noexcept;
    ~TFoundCopy();
    // Deletes the copy; false (errno kept) when it stays.
    bool Remove();
};

struct TDamagedCopy {
    std::string path;
    std::string setAside;  // the name it was renamed to; empty when the rename failed
    std::string why;
};

struct TRecoveryScan {
    std::vector<TFoundCopy> copies;  // newest first
    std::vector<TDamagedCopy> damaged;
};

// The copies left in the diary folder, and those in the state folder that belong to this
// diary folder. Copies a running Mekuri holds are passed over. A copy that cannot be read
// whole (truncated, garbage, too large, unknown version) is renamed aside, to the same
// name ending in ".damaged", and listed in `damaged`; it is never deleted.
TRecoveryScan FindRecoveryCopies(const std::string& diaryFolder, const std::string& stateFolder);

// One message for every damaged copy.
std::string DamagedCopiesMessage(const std::vector<TDamagedCopy>& damaged);
