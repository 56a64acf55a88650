#pragma once
// A sectioned settings file on disk. Outside a batch nothing is kept between calls: every
// read loads the file and every write replaces it, so two stores on one file always agree.
//
// A write never leaves a half-written file: the new text goes to a temporary file in the
// same folder, which is flushed and then renamed over the old one. When anything fails the
// old file stays as it was and the write raises EFileError "<path> に書き込めません".
#include "settings/profile_text.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TProfileFile {
public:
    explicit TProfileFile(std::string path = {});

    const std::string& Path() const { return path_; }

    // Between BeginBatch and EndBatch the file is read once: reads see it as it was then
    // plus the writes made since, which stay in memory. EndBatch writes them, when there
    // are any, in one replacement of the file; a failure raises the usual error and keeps
    // the old file whole.
    void BeginBatch();
    void EndBatch();

    // The file's text as it is now; empty for a missing or unreadable file. Within a batch
    // the text is parsed once and shared by every read until a write changes it.
    std::shared_ptr<const TProfileText> Load() const;

    // The stored value, or `def` when the file, the section or the key is missing.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Sets several keys of one section in a single replacement of the file: either all of
    // them are written or, on failure, none.
    void WriteEntries(std::string_view section, const TProfileEntries& entries);

    // The message of a failed write, as UTF-8; `err` the errno of a failed replacement,
    // 0 for an entry refused before writing.
    static std::string WriteErrorMessage(std::string_view path, int err = 0);

private:
    [[noreturn]] void Fail(int err = 0) const;

    struct TBatch {
        std::string text;
        bool readFailed = false;
        bool changed = false;
        mutable std::shared_ptr<const TProfileText> parsed;  // of `text`, made at the first read
    };

    std::string path_;
    std::optional<TBatch> batch_;
};
