#pragma once
// The choice of a period to print or export: its first and last day and, for an export,
// the format and the file.
#include "window/period_choice.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLineEdit;

class TPeriodDialog : public QDialog {
public:
    // `forExport` adds the format and the file.
    TPeriodDialog(QWidget* parent, bool forExport, const TPeriodChoice& initial);

    TPeriodChoice Choice() const;

    QDateEdit* FirstDay = nullptr;
    QDateEdit* LastDay = nullptr;
    QComboBox* Format = nullptr;
    QLineEdit* FileName = nullptr;

    void accept() override;

private:
    void Browse();
    // The file's extension follows the format while the name is the one offered.
    void FormatChanged();

    QString chosen_;  // the file the file chooser last gave
};
