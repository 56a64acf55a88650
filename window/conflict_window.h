#pragma once
// 比べる: this machine's version of a day and the version a file-sync tool kept beside it,
// side by side, their differing lines and characters highlighted, and the four ways on.
#include <QDialog>
#include <QString>

class QPushButton;
class QTextEdit;

enum class TConflictChoice { KeepMine, KeepOther, KeepBoth, Later };

class TConflictWindow : public QDialog {
public:
    // `otherCaption` says where the other version comes from.
    TConflictWindow(QWidget* parent, const QString& dayCaption, const QString& mine, const QString& other,
                    const QString& otherCaption);

    // Later until a choice was made (also when the window is closed).
    TConflictChoice Choice() const { return choice_; }

    QTextEdit* Mine = nullptr;
    QTextEdit* Other = nullptr;
    QPushButton* KeepMine = nullptr;
    QPushButton* KeepOther = nullptr;
    QPushButton* KeepBoth = nullptr;
    QPushButton* Later = nullptr;

    // The highlight of a line one side lacks, a changed line, and the characters that
    // differ within it.
    static QColor AloneColor();
    static QColor ChangedLineColor();
    static QColor ChangedCharsColor();

private:
    TConflictChoice choice_ = TConflictChoice::Later;
};
