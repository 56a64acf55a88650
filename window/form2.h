#pragma once
// "フォントの設定": one button per font command of the main window.
#include "window/command_dialog.h"

class TForm1;

class TForm2 : public TCommandDialog {
public:
    explicit TForm2(TForm1* owner);
};
