#include "app/form1.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8("簡易日記・スケジューラー Mekuri v.1.16"));
}
