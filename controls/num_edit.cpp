#include "controls/num_edit.h"

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetValue(0);
}

double TNumEdit::Value() const { return text().toDouble(); }

void TNumEdit::SetValue(double value) { setText(QString::number(value, 'g', 15)); }
