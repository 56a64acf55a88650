#pragma once
// The list dialog: shows a copy of one of the week calendar's lists sorted, lets the user
// delete lines, and on closing puts the remaining lines in place of the list, unless
// none remain.
#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;
class TStringList;

class TForm4 : public QDialog {
public:
    // `editList` is the list to edit; `caption` says which one it is.
    TForm4(QWidget* owner, const char* caption, TStringList& editList);

    QListWidget* ListBox1 = nullptr;
    QPushButton* Button1 = nullptr;  // 削除
    QPushButton* Button3 = nullptr;  // 全削除
    QPushButton* Button2 = nullptr;  // キャンセル
    QPushButton* Button4 = nullptr;  // 閉じる

    void Button1Click();
    void Button3Click();
    void Button2Click();
    void Button4Click();

    // The lines the box holds, in their shown order (CP932).
    const std::vector<std::string>& Lines() const { return lines_; }

    // Every way of closing ends here: the close button, Escape, the window's close box.
    void done(int result) override;

protected:
    // The dialog sees the keys of its controls first, so Escape closes it from anywhere.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill();

    TStringList& editList_;
    std::vector<std::string> lines_;
};
