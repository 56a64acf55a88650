#pragma once
// The font choice as the user sees it. Qt's own font dialog can neither keep to a size
// range nor leave out proportional faces, and it has no colour, so the program offers
// this one: only faces that exist (optionally only fixed-pitch ones), a size box that
// cannot leave its range, and the effects (colour, underline, strike-out) on request.
#include "platform/dialogs.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

class TFontChoiceDialog : public QDialog {
public:
    TFontChoiceDialog(const TFont& initial, const TFontDialogOptions& options, QWidget* parent = nullptr);

    // The font as chosen so far; attributes the dialog does not offer stay as they were.
    TFont Font() const;

    QListWidget* FaceList = nullptr;
    QComboBox* StyleBox = nullptr;
    QSpinBox* SizeBox = nullptr;
    QCheckBox* UnderlineBox = nullptr;
    QCheckBox* StrikeOutBox = nullptr;
    QComboBox* ColorBox = nullptr;
    QLabel* Sample = nullptr;
    QPushButton* OkButton = nullptr;

private:
    void BuildEffects(QWidget* parent);
    void SelectInitial();
    void Update();

    TFont initial_;
    TFontDialogOptions options_;
    int initialRow_ = -1;  // the face the starting name stands for
};

// Faces that draw every half-width character with the same advance. Japanese "fixed"
// faces draw full-width characters twice as wide, so a strict monospace test would miss
// exactly the faces this program is about.
bool IsFixedPitchFace(const QString& family);

// The installed faces the dialog offers, each once under its own name.
QStringList OfferedFaces(bool fixedPitchOnly);
// The offered name of the face that a stored name draws with: a Windows face name kept in
// the settings stands for the installed face it is substituted by (empty when none is
// installed); any other name stands for itself.
QString FaceStoodFor(const QString& stored);
