#pragma once
// A recovery copy: the diary text the user changed but has not saved, with the day it
// belongs to and what the day's file was when the text was loaded, so that after a crash,
// a kill or a power cut the text can be offered back and a file changed since is noticed.
//
// On disk it is a few header lines, then the text's bytes exactly as the editor holds
// them (Shift-JIS with extra codes, CR LF between lines), then the codes' table:
//
//   Mekuri recovery 2
//   day 2026-12-07
//   written 1796601234 123456789
//   folder /home/user/diary
//   host laptop
//   loaded 1
//   stamp 1 2049 1234567 812 1796600000 0 1796600000 0
//   length 812
//   codes 27
//   crc32 1a2b3c4d
//   <empty line>
//   <812 bytes of text>
//   <27 bytes of table: a line per code given out, "F041 f09f988a": the code and its
//    cluster's bytes, in hexadecimal>
//
// "host" names the machine that wrote the copy: a diary folder kept in step by a sync tool
// carries copies between machines, and one machine's copy is never taken for another's.
// A copy without the line (written before it existed) counts as this machine's.
// "loaded" says whether the text came from the day file (1) or was begun on a day the
// editor showed empty (0); "stamp" is that file then: exists, device, inode, size,
// modification time and status-change time (seconds, nanoseconds each). The CRC-32 covers
// every byte before its own line, the text and the table, so a torn or altered copy is
// recognised. A copy of version 1 (no "codes" line, no table) still reads.
#include "calendar/julius.h"
#include "diary/day_file.h"
#include "platform/extra_chars.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TRecoveryCopy {
    TYMD day{0, 1, 1};
    std::string text;
    // The codes of `text` that stand for characters CP932 lacks.
    std::vector<TExtraCode> codes;
    // Whether `text` started as the day file's content, and that file as it was then.
    bool loaded = false;
    TFileStamp base;
    // The diary folder the text belongs to (absolute); tells copies in the shared state
    // folder apart.
    std::string folder;
    // The machine's host name; empty when unknown.
    std::string host;
    std::int64_t writtenSec = 0;
    std::int64_t writtenNsec = 0;
    bool operator==(const TRecoveryCopy&) const = default;
};

// A copy file larger than this is not read: it cannot be one Mekuri wrote for a day.
constexpr std::int64_t kMaxRecoveryCopyBytes = 256LL << 20;

std::string EncodeRecoveryCopy(const TRecoveryCopy& copy);

// The copy in `bytes`, or nothing with the reason in `why` (Japanese, for the user):
// truncated, unknown version, garbage, a checksum that does not match.
std::optional<TRecoveryCopy> DecodeRecoveryCopy(std::string_view bytes, std::string& why);

// The name this machine writes in its copies: $MEKURI_HOST when set (two copies of the
// program on one machine can so stand in for two machines), else the host name.
std::string ThisHostName();

// The table of the copy's text: its codes given out again, the rest of its codes reserved.
TExtraChars ExtraCharsOf(const TRecoveryCopy& copy);

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);
