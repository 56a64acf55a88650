#pragma once
// Replacing a file so that it is never left half-written: the bytes go to a new file in
// the same folder, are flushed to the disk, and that file is renamed over the target. A
// failure at any step removes the new file and leaves the old one as it was.
#include <string>
#include <string_view>

// Returns 0 on success, else the errno of the step that failed.
// - A target reached through symbolic links is replaced at the links' end, so the links
//   survive; a dangling link gets its missing end created.
// - The replacement keeps the old file's permissions, and its owner and group where the
//   system permits.
// - A file the user could not write in place is refused with EACCES, and so is a file no
//   one may write (all write bits off) even for the superuser: making a file read-only is
//   how a user protects it, and the rename would get round that.
// - A target that is not a regular file is refused: EISDIR for a folder, ENODEV for
//   anything else (a named pipe, a device), as the readers report them.
// - Once renamed, the folder is flushed too, so the new name survives a power cut.
int ReplaceFileContents(const std::string& target, std::string_view data);

// The same, but on success the new file stays open, under an exclusive flock(2), and its
// descriptor goes to `heldFd` (the caller closes it): no other process can take the file
// for abandoned between its rename and a lock taken afterwards. -1 on failure.
int ReplaceFileContentsHeld(const std::string& target, std::string_view data, int& heldFd);

// The file a replacement of `path` writes: the path its symbolic links end at, which need
// not exist yet. Returns 0, or the errno of a link that could not be followed.
int ReplacementTarget(const std::string& path, std::string& target);

// Removes the new files that replacements in `folder` left behind when their process died
// half-way (a kill, a power cut). A replacement still running in another process keeps its
// file. The program calls this at start for the folders it writes in.
void RemoveStaleReplacements(const std::string& folder);

// Whether `name` (without folder) has the form of the new files a replacement makes.
bool IsReplacementFileName(std::string_view name);
