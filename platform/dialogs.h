#pragma once
// The questions, messages and common dialogs the program shows. The program installs
// the Qt implementation; tests install a scripted one and read what was shown.
#include "platform/color.h"
#include "platform/font.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

// What a font choice may offer. A size of 0 leaves that end open.
struct TFontDialogOptions {
    int MinSize = 0;  // points
    int MaxSize = 0;
    bool FixedPitchOnly = false;
    // Colour, underline and strike-out can be chosen too.
    bool Effects = false;
};

// The answers of a question that may also be called off.
enum class TAnswer { Yes, No, Cancel };

class TDialogs {
public:
    virtual ~TDialogs() = default;

    // A confirmation box with "はい(&Y)" and "いいえ(&N)"; true for "はい(&Y)".
    virtual bool Confirm(const std::string& message) = 0;
    // A question with "はい(&Y)", "いいえ(&N)" and "キャンセル"; Escape and the box's close
    // button give キャンセル, so that nothing is decided by leaving the box.
    virtual TAnswer YesNoCancel(const std::string& message) = 0;
    virtual void Error(const std::string& message) = 0;
    // Something done, but not quite as asked: the warning icon, not the error's.
    virtual void Warning(const std::string& message) = 0;
    virtual void Beep() = 0;
    // Empty when the user cancels.
    virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
    // Opens on `font`; changes it and returns true when the user accepts.
    virtual bool ChooseFont(TFont& font, const TFontDialogOptions& options = {}) = 0;
    // The printer set-up; true when the user chose a printer (set up in `printer`).
    virtual bool PrinterSetup(QPrinter& printer) = 0;
    // A question with the given buttons (captions with their "&" mnemonics), the first
    // the default; the index of the one pressed, the last one for Escape or a closed box.
    virtual int Choose(const std::string& message, const std::vector<std::string>& buttons) = 0;

    // The installed service; the Qt one unless a test installed another.
    static TDialogs& Instance();
    // Installs `dialogs` (not owned); nullptr returns to the default.
    static void Install(TDialogs* dialogs);
};

inline TDialogs& Dialogs() { return TDialogs::Instance(); }

// Answers from a script and remembers everything shown, for tests.
class TScriptedDialogs : public TDialogs {
public:
    // One scripted answer; true and false stand for はい and いいえ.
    struct TScripted {
        TScripted(bool yes) : answer(yes ? TAnswer::Yes : TAnswer::No) {}
        TScripted(TAnswer a) : answer(a) {}
        TAnswer answer;
    };

    bool Confirm(const std::string& message) override;
    TAnswer YesNoCancel(const std::string& message) override;
    void Error(const std::string& message) override;
    void Warning(const std::string& message) override { warnings.push_back(message); }
    void Beep() override { ++beeps; }
    std::optional<TColor> ChooseColor(TColor initial) override;
    bool ChooseFont(TFont& font, const TFontDialogOptions& options = {}) override;
    // When the answer is yes and `printToFile` is set, the printer writes a PDF there.
    bool PrinterSetup(QPrinter& printer) override;
    int Choose(const std::string& message, const std::vector<std::string>& buttons) override;

    std::deque<int> choiceAnswers;            // empty: the last button
    std::vector<std::string> choices;         // the messages asked
    std::vector<std::vector<std::string>> choiceButtons;

    // The answers to both kinds of question, in the order asked; empty: "いいえ(&N)". A
    // yes/no box takes キャンセル as いいえ, as its Escape does.
    std::deque<TScripted> confirmAnswers;
    std::deque<std::optional<TColor>> colorAnswers;  // empty: cancel
    std::deque<std::optional<TFont>> fontAnswers;    // empty: cancel
    bool printerSetupAnswer = false;
    std::string printToFile;

    // What each colour and font choice was opened on.
    std::vector<TColor> colorRequests;
    std::vector<TFont> fontRequests;
    std::vector<TFontDialogOptions> fontOptions;

    std::vector<std::string> confirmations;  // both kinds of question
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    int beeps = 0;
};
