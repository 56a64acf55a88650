#pragma once
// The diary text in the editor and the day it belongs to, and the day files behind it:
// which file a day has, whether the text was changed by the user, and whether the file
// on disk is still the one the text came from, so that a save never silently replaces
// what another program or another running copy wrote.
#include "diary/day_file.h"
#include "diary/day_file_form.h"
#include "calendar/julius.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

class TDiarySession {
public:
    // Asks the user; true for "はい(&Y)".
    using TConfirm = std::function<bool(const std::string& question)>;
    // Text typed over a day whose file the editor never showed: added after the file's
    // text, put in its place, or kept unsaved.
    enum class TUnshown { Append, Overwrite, Cancel };
    using TAskUnshown = std::function<TUnshown(const std::string& question)>;

    // `folder` empty: the current directory, with names relative to it.
    explicit TDiarySession(std::string folder = {});

    std::string PathOf(const TYMD& day) const;

    // The editor now shows `day`. Returns the file to load, or nothing when the day has
    // none. The file is looked at before it is read, so a write that races the reading
    // shows up at the next save as a change. Loading stops at the first ^Z; what follows
    // it is kept here and written back after the text at every save.
    std::optional<std::string> Show(const TYMD& day);
    // The editor's text, for `day`, no longer comes from the day's file (emptied at
    // start-up): a file there holds something the user has not seen.
    void Forget(const TYMD& day);

    // Text recovered after the program ended without saving it, for `day`: it began as
    // the day file `base` when `loaded`, else on an empty editor. Counts as edited, and a
    // save asks before it replaces a file that is no longer `base`.
    void Resume(const TYMD& day, bool loaded, const TFileStamp& base);

    const TYMD& Day() const { return day_; }
    // Whether the text came from the day's file, and that file as it was then.
    bool Loaded() const { return shown_; }
    const TFileStamp& LoadedStamp() const { return stamp_; }
    // Changed by the user since it was last shown or saved.
    bool Edited() const { return edited_; }
    void SetEdited(bool edited) { edited_ = edited; }

    // The form of the file the text came from (CP932 when it has none).
    TDayFileForm Form() const { return form_; }
    // New day files in UTF-8 with the mark even when their text fits CP932.
    void SetNewFilesUtf8(bool on) { newFilesUtf8_ = on; }
    bool NewFilesUtf8() const { return newFilesUtf8_; }

    // Writes `text` (its codes those of `extra`), then the part of the file that loading
    // did not read, as the file of the text's day, through a temporary file renamed over
    // the old one. The file keeps its form; a CP932 file whose text now holds a code moves
    // to UTF-8 with the mark (OnMovedToUtf8 tells). A new file is CP932 when the text fits
    // and new files are not set to UTF-8, else UTF-8 with the mark. When the file is no
    // longer what the editor showed, or another copy of the program works in the folder,
    // `confirm` is asked first; false when it says no. Raises EFileError with the old file
    // left as it was. `atClose` words the error as the save at close does.
    // When the file holds what the editor never showed, `unshown` (when given and the file
    // is a plain file, else `confirm`, whose yes overwrites) decides; an append writes the
    // file's text, a line break where it lacks one, then `text`: the editor then shows only
    // part of the file, and Loaded() stays false until the day is shown again.
    bool Save(std::string_view text, const TExtraChars& extra, const TConfirm& confirm, bool atClose = false,
              const TAskUnshown& unshown = {});
    // The same for a text without extra codes. A UTF-8 day file's text is then taken as
    // the file's own bytes, as a reader that knows no forms has read them, and written back
    // as it is, so that such a reader never turns the file into something else.
    bool Save(std::string_view text, const TConfirm& confirm, bool atClose = false, const TAskUnshown& unshown = {});
    // The form a save of `text` would write now.
    TDayFileForm FormToWrite(std::string_view text, const TExtraChars& extra) const;
    // Deletes the file of `day` when `confirm` agrees to "<name>を削除します". False when
    // there is no file or the answer is no; raises EFileError when the file stays.
    bool Delete(const TYMD& day, const TConfirm& confirm);

    // Told after a save wrote a day's file (true) or a delete removed it (false), so that
    // whoever lists the days with an entry knows at once.
    std::function<void(const TYMD& day, bool hasFile)> OnFileChanged;
    // After every save that wrote the file, with the text written.
    std::function<void(std::string_view text)> OnSaved;
    // After the save that moved a CP932 day file to UTF-8, so that the user is told once.
    std::function<void(const TYMD& day)> OnMovedToUtf8;
    static constexpr const char* kMovedToUtf8Message =
        "この日の日記には Shift-JIS で書けない文字が入ったため、UTF-8 で保存しました";

private:
    // `asRead`: `text` is the file's bytes up to the first ^Z, written as they are.
    bool Save(std::string_view text, const TExtraChars& extra, const TConfirm& confirm, bool atClose, bool asRead,
              const TAskUnshown& unshown);

    std::string folder_;
    TFolderLock lock_;
    TYMD day_{0, 1, 1};
    TFileStamp stamp_;
    // The file from its first ^Z on, unless that ^Z is all there is after the text.
    std::string unread_;
    TDayFileForm form_ = TDayFileForm::Cp932;
    bool newFilesUtf8_ = false;
    bool shown_ = false;
    bool edited_ = false;
};
