// A save flushes the folder once the new name is in place, so the rename survives a power
// cut. fsync is interposed here to watch what reaches the disk and when.
#include "temp_folder.h"

#include "platform/safe_file.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace {

struct TSync {
    bool folder;
    std::string targetAtThatMoment;
};
std::vector<TSync> syncs;
std::string watched;

}  // namespace

extern "C" int fsync(int fd) {
    static auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    struct stat st {};
    if (!watched.empty() && ::fstat(fd, &st) == 0) {
        std::ifstream in(watched, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        syncs.push_back({S_ISDIR(st.st_mode), s.str()});
    }
    return real(fd);
}

using FolderSync = TempFolder;

TEST_F(FolderSync, TheFolderIsFlushedAfterTheRename) {
    Put(PathOf("a.dat"), "old");
    watched = PathOf("a.dat");
    ASSERT_EQ(ReplaceFileContents(PathOf("a.dat"), "new"), 0);
    watched.clear();
    ASSERT_EQ(syncs.size(), 2u);
    EXPECT_FALSE(syncs[0].folder);  // the new file's bytes, before it takes the name
    EXPECT_EQ(syncs[0].targetAtThatMoment, "old");
    EXPECT_TRUE(syncs[1].folder);
    EXPECT_EQ(syncs[1].targetAtThatMoment, "new");
}
