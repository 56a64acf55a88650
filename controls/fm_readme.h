#pragma once
// The readme form: a large title, a picture, a notice line, the read-only text, an
// optional check box and OK. Once visible it puts the mouse pointer on OK.
#include <QDialog>
#include <QTimer>

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TfmReadme : public QDialog {
public:
    explicit TfmReadme(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* Title = nullptr;
    QFrame* pnlRead = nullptr;
    QLabel* ImgReadme = nullptr;
    QFrame* pnlMemo = nullptr;
    QLabel* Copyright = nullptr;
    QFrame* Bevel1 = nullptr;
    QPlainTextEdit* MemoReadme = nullptr;
    QCheckBox* cbShowOnStart = nullptr;
    QPushButton* BtnOK = nullptr;
    QTimer Timer1;

    // Moves the mouse pointer to the middle of the OK button; where the platform cannot
    // move the pointer nothing happens.
    void PointAtOK();
    // Lays out the picture, the notice and the text after their contents were set.
    void ArrangeReadPanel();

protected:
    void showEvent(QShowEvent* event) override;
};
