#pragma once
// The about/readme box as a component without a window of its own: the owner sets its
// properties and calls ShowDialog, which builds a TfmReadme from them, shows it modally
// and returns the state of its check box.
#include "platform/color.h"
#include "platform/font.h"

#include <QObject>
#include <QPixmap>
#include <QStringList>

#include <memory>

class TfmReadme;

class TReadmeDialog : public QObject {
public:
    explicit TReadmeDialog(QObject* owner = nullptr);
    ~TReadmeDialog() override;

    QString TitleCaption;
    const TFont& TitleFont() const { return titleFont_; }
    void SetTitleFont(const TFont& f) { titleFont_.Assign(f); }
    QString DialogCaption = QStringLiteral("Readme");
    QString CopyrightCaption;
    const TFont& CopyrightFont() const { return copyrightFont_; }
    void SetCopyrightFont(const TFont& f) { copyrightFont_.Assign(f); }
    const QStringList& Lines() const { return lines_; }
    void SetLines(const QStringList& lines) { lines_ = lines; }
    // A readme file (CP932 text, as the program's other text files) shown instead of
    // Lines when it exists.
    QString TextFile;
    const TFont& MemoFont() const { return memoFont_; }
    void SetMemoFont(const TFont& f) { memoFont_.Assign(f); }
    TColor MemoColor = clInfoBk;
    QString InsString = QStringLiteral("e.g. your eMail-address");
    QString InsBehindString = QStringLiteral("eMail: ");
    const QPixmap& Picture() const { return picture_; }
    void SetPicture(const QPixmap& p) { picture_ = p; }
    bool ShowOnStart = false;
    QString ShowOnStartCaption = QStringLiteral("Show Readme on next start?");
    bool ShowOnStartVisible = true;
    QString BtnOKCaption = QStringLiteral("&OK");

    // Shows the box modally; returns the final check box state, also kept in ShowOnStart.
    bool ShowDialog();
    // The form as ShowDialog shows it, for those who show it themselves.
    std::unique_ptr<TfmReadme> CreateForm() const;

private:
    TFont titleFont_;
    TFont copyrightFont_;
    TFont memoFont_;
    QStringList lines_{QStringLiteral("Read"), QStringLiteral("eMail: ")};
    QPixmap picture_;
};
