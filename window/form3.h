#pragma once
// "色の設定": one button per colour command of the main window.
#include "window/command_dialog.h"

class TForm1;

class TForm3 : public TCommandDialog {
public:
    explicit TForm3(TForm1* owner);
};
