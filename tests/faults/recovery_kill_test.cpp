// A child process types into an editor session and keeps its recovery copy the way the
// window does; the parent kills it at random moments, many of them in the middle of a
// copy's write. After each kill the next start must find exactly the last text the child
// was told was kept, or one it typed later, whole; never a torn copy, never the day file
// touched.
#include "diary/recovery_keeper.h"
#include "editor/edit_session.h"
#include "editor/editor_strings.h"
#include "platform/safe_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kKills = 200;
constexpr int kKeys = 3000;
constexpr int kKeysPerKeep = 4;
constexpr unsigned kSeed = 20261207;
const TYMD kDay{2026, 12, 7};

// The same keys in the same order in the child and in the parent's replay.
class TTypist {
public:
    TTypist() : rng_(kSeed) {
        std::string text;
        for (int line = 0; line < 4000; ++line)
            text += "\x93\xfa\x8b\x4c " + std::to_string(line) + " meeting \x82\xa0\x82\xa2\r\n";  // 日記, あい
        session_.Lines().SetText(text);
    }
    void Key() {
        switch (rng_() % 8) {
            case 0: session_.KeyEnter(); break;
            case 1: session_.KeyBackspace(); break;
            case 2: session_.TypeText("\x8a\xbf"); break;  // 漢
            default: session_.TypeText(std::string(1, static_cast<char>('a' + rng_() % 26))); break;
        }
    }
    std::string Text() const { return session_.Lines().Text(); }

private:
    TEditSession session_;
    std::mt19937 rng_;
};

int Count(const std::filesystem::path& dir, bool (*pick)(std::string_view)) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (pick(e.path().filename().string())) ++n;
    return n;
}

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(KillDuringRecovery, TheNextStartFindsTheLastKeptTextOrALaterOneWhole) {
    std::string pattern = (std::filesystem::temp_directory_path() / "mekuri-recovery-kill-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path dir = pattern;
    const std::filesystem::path dayFile = dir / "2026127.dat";
    { std::ofstream(dayFile, std::ios::binary) << "\x93\xfa\x8b\x4c\r\n"; }
    const std::string dayBytes = Bytes(dayFile);

    // Every text the child asks to keep, by its checksum: the first and the last time it
    // had it (a letter typed and taken back gives one text twice).
    std::map<std::uint32_t, std::pair<int, int>> keepIndex;
    {
        TTypist replay;
        for (int key = 1; key <= kKeys; ++key) {
            replay.Key();
            if (key % kKeysPerKeep == 0) {
                const int index = key / kKeysPerKeep;
                auto [it, fresh] = keepIndex.emplace(Crc32(replay.Text()), std::pair{index, index});
                it->second.second = index;
            }
        }
    }

    std::mt19937 rng(kSeed);
    int midWrite = 0, found = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        int told[2];
        ASSERT_EQ(::pipe(told), 0);
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(told[0]);
            TTypist typist;
            TRecoveryKeeper keeper(dir.string(), "");
            // Said only once the copy is on the disk.
            keeper.OnWritten = [fd = told[1]](const TRecoveryCopy& copy, int err) {
                const std::uint32_t crc = err == 0 ? Crc32(copy.text) : 0;
                (void)!::write(fd, &crc, sizeof crc);
            };
            const std::uint32_t started = 1;
            (void)!::write(told[1], &started, sizeof started);
            for (int key = 1; key <= kKeys; ++key) {
                typist.Key();
                if (key % kKeysPerKeep == 0) {
                    TRecoveryCopy copy;
                    copy.day = kDay;
                    copy.text = typist.Text();
                    copy.loaded = true;
                    copy.base = StampOf(dayFile.string());
                    keeper.Keep(std::move(copy));
                }
            }
            keeper.Flush();
            ::pause();
            ::_exit(1);
        }
        ::close(told[1]);
        std::uint32_t word = 0;
        ASSERT_EQ(::read(told[0], &word, sizeof word), static_cast<ssize_t>(sizeof word));
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 40000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the typing child ended by itself";

        int lastTold = 0;  // keep index of the newest copy the child knew was written
        while (::read(told[0], &word, sizeof word) == static_cast<ssize_t>(sizeof word)) {
            ASSERT_NE(word, 0u) << "a copy could not be written";
            ASSERT_TRUE(keepIndex.count(word)) << "the child wrote a text it never typed";
            lastTold = std::max(lastTold, keepIndex[word].first);
        }
        ::close(told[0]);

        if (Count(dir, IsReplacementFileName) > 0) ++midWrite;
        RemoveStaleReplacements(dir.string());  // what the next start does
        TRecoveryScan scan = FindRecoveryCopies(dir.string(), "");
        ASSERT_TRUE(scan.damaged.empty()) << "kill " << kill << ": " << scan.damaged[0].why;
        ASSERT_LE(scan.copies.size(), 1u);
        if (lastTold > 0) {
            ASSERT_EQ(scan.copies.size(), 1u) << "kill " << kill << ": the kept copy is gone";
        }
        if (!scan.copies.empty()) {
            ++found;
            const TRecoveryCopy& c = scan.copies[0].copy;
            auto it = keepIndex.find(Crc32(c.text));
            ASSERT_NE(it, keepIndex.end()) << "kill " << kill << ": a text the child never had";
            ASSERT_GE(it->second.second, lastTold) << "kill " << kill << ": an older copy than the one kept last";
            EXPECT_TRUE(c.day == kDay);
            EXPECT_EQ(c.base, StampOf(dayFile.string()));
            ASSERT_TRUE(scan.copies[0].Remove());
        }
        ASSERT_EQ(Bytes(dayFile), dayBytes) << "kill " << kill << ": the day file changed";
        ASSERT_EQ(Count(dir, IsReplacementFileName) + Count(dir, IsRecoveryCopyName), 0);
    }
    std::printf("kills: %d, copies found: %d, kills in the middle of a copy's write: %d\n", kKills, found, midWrite);
    // Without kills mid-write and found copies, the test would have shown nothing.
    EXPECT_GT(midWrite, kKills / 10);
    EXPECT_GT(found, kKills / 2);
    std::filesystem::remove_all(dir);
}
