#pragma once
// Replacing a file so that it is never left half-written: the bytes go to a new file in
// the same folder, are flushed to the disk, and that file is renamed over the target. A
// failure at any step removes the new file and leaves the old one as it was. The new file
// is made under a fresh name relative to the folder's descriptor, never through a link
// (folder_files.h), so nothing put in the folder by another user can redirect the bytes.
#include <string>
#include <string_view>

// Returns 0 on success, else the errno of the step that failed.
// - A target reached through symbolic links of the user's own is replaced at the links'
//   end, so the links survive; a dangling link gets its missing end created. A link that
//   belongs to another user is not followed: ELOOP.
// - The replacement keeps the old file's permissions, and its owner and group where the
//   system permits. A new file gets NewFileMode of its folder.
// - A file the user could not write in place is refused with EACCES, and so is a file no
//   one may write (all write bits off) even for the superuser: making a file read-only is
//   how a user protects it, and the rename would get round that.
// - A target that is not a regular file is refused: EISDIR for a folder, ENODEV for
//   anything else (a named pipe, a device), as the readers report them.
// - Once renamed, the folder is flushed too, so the new name survives a power cut.
int ReplaceFileContents(const std::string& target, std::string_view data);

// What ReplaceFileContents would refuse before writing anything, as it would refuse it
// (EISDIR, ENODEV, EACCES, ELOOP), so that a caller can say so before asking anything
// about the file; 0 when the target may be replaced or does not exist yet.
int ReplaceRefusal(const std::string& target);

// The replacement of a file that holds text no one else may read (a recovery copy): the
// file is always 0600 and the user's own, whatever stood there, and a symbolic link at
// `target` is refused (ELOOP), never followed. On success the new file stays open, under
// an exclusive flock(2), and its descriptor goes to `heldFd` (the caller closes it): no
// other process can take the file for abandoned between its rename and a lock taken
// afterwards. -1 on failure.
int ReplacePrivateFile(const std::string& target, std::string_view data, int& heldFd);

// The file a replacement of `path` writes: the path its symbolic links end at, which need
// not exist yet. Returns 0, or the errno of a link that could not be followed (ELOOP for
// one of another user's, which a replacement refuses).
int ReplacementTarget(const std::string& path, std::string& target);

// Removes the new files that replacements in `folder` left behind when their process died
// half-way (a kill, a power cut). A replacement still running in another process keeps its
// file. The program calls this at start for the folders it writes in.
void RemoveStaleReplacements(const std::string& folder);

// Whether `name` (without folder) has the form of the new files a replacement makes.
bool IsReplacementFileName(std::string_view name);

// Where the six letters and digits that make a new file's name unique come from: random
// unless a test sets a source of its own, to put something where a replacement looks
// first. nullptr restores the random source.
using TUniquePartSource = std::string (*)();
void SetUniquePartSource(TUniquePartSource source);
