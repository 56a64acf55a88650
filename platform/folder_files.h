#pragma once
// The folders and files Mekuri makes for itself: which permissions they get, and the
// symbolic links they never follow. A diary is private: what Mekuri creates is no more
// open to others than the folder it sits in, and a folder it creates is its owner's only.
// In a folder others may write to, another user can put a link where Mekuri is about to
// write; a name Mekuri makes is therefore opened relative to the folder's descriptor,
// without following a link, and a link found there is refused with ELOOP.
#include <string>
#include <sys/types.h>

// Creates `path` and every missing folder above it, each new one 0700; folders that exist
// keep their modes (a folder the user shares stays shared). 0, or the errno of the failure.
int MakeFolders(const std::string& path);

// The state folder, which holds unsaved text of every diary: `path` must be a folder of the
// user's, open to no one else. With `create`, it is made (0700) when missing. One of ours
// that others may enter or read is tightened to the owner's bits; one of another user's is
// refused with EPERM, a symbolic link with ELOOP, a file with ENOTDIR. 0 when it is usable.
int MakePrivateFolder(const std::string& path, bool create);

// The permissions asked for a new file in the folder `dirFd`, before the umask: the
// owner's read and write, and for the group and others the read and write bits the folder
// gives them. So a file in a folder Mekuri made (0700) is 0600, and one in a folder the
// user shares follows the folder, within the umask (0644 in 0755 or 0777 under umask 022,
// 0640 in 0750).
mode_t NewFileMode(int dirFd);

// Opens the file `name` in `folder` (empty: the current folder) for reading and writing,
// creating it with NewFileMode when missing, as a lock file is kept. A symbolic link there
// is refused (ELOOP), and so is anything but a regular file (ENODEV). 0, or the errno.
int OpenLockFile(const std::string& folder, const char* name, int& fd);
