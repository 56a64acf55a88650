// The main menu and the two pop-up menus.
#include "window/form1.h"

#include "platform/handler_guard.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

// An item whose command arrives with a later part of the program: it is there with its
// caption, shortcut and hint, and disabled until then.
QAction* Item(QMenu* menu, const char* caption, const char* hint, const QKeySequence& shortcut = {}) {
    QAction* a = menu->addAction(U(caption));
    if (hint) a->setStatusTip(U(hint));
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    a->setEnabled(false);
    return a;
}

QAction* Toggle(QMenu* menu, const char* caption, const char* hint) {
    QAction* a = menu->addAction(U(caption));
    a->setStatusTip(U(hint));
    a->setCheckable(true);
    a->setChecked(true);
    return a;
}

}  // namespace

void TForm1::BuildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(U("ファイル(&F)"));
    H4 = Item(file, "休日の出力(&H)", "休日をテキストファイルとして出力します");
    S5 = Item(file, "特別な日の出力（&S）", "特別な日をテキストファイルとして出力します");
    file->addSeparator();
    PeriodPrint = file->addAction(U("期間を印刷(&R)..."));
    PeriodPrint->setStatusTip(U("選んだ期間の日記を、日ごとに新しいページから印刷します"));
    connect(PeriodPrint, &QAction::triggered, this, Guarded([this] { PeriodPrintClick(); }));
    PeriodExport = file->addAction(U("期間を書き出す(&E)..."));
    PeriodExport->setStatusTip(U("選んだ期間の日記をテキスト、Markdown、PDF のファイルに書き出します"));
    connect(PeriodExport, &QAction::triggered, this, Guarded([this] { PeriodExportClick(); }));
    file->addSeparator();
    Close1 = file->addAction(U("閉じる(&C)"));
    connect(Close1, &QAction::triggered, this, Guarded([this] { Close1Click(); }));

    QMenu* edit = bar->addMenu(U("編集(&E)"));
    Cut1 = Item(edit, "切り取り(&T)", "切り取り", QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1 = Item(edit, "コピー(&C)", "コピー", QKeySequence(Qt::CTRL | Qt::Key_C));
    P1 = Item(edit, "貼り付け(&P)", "貼り付け", QKeySequence(Qt::CTRL | Qt::Key_V));
    edit->addSeparator();
    SelAll = Item(edit, "全て選択(&A)", "テキストを全て選択します");
    edit->addSeparator();
    ReDo = Item(edit, "もう一度(&R)", "いました動作をもう一度します", QKeySequence(Qt::CTRL | Qt::Key_Y));
    Undo1 = Item(edit, "元に戻す(&U)", "間違った場合、１動作もとに戻します", QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit->addSeparator();
    Print1 = Item(edit, "印刷(&P)", "エディタのテキストを印刷します");
    edit->addSeparator();
    Find1 = Item(edit, "検索(&F)", "エディタのテキストから語を探します", QKeySequence(Qt::CTRL | Qt::Key_F));
    DiaryFind1 = Item(edit, "日記全体から検索(&G)", "日記のすべての日から語を探します",
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));

    QMenu* view = bar->addMenu(U("表示(&V)"));
    MonthlyCalendarShow = Toggle(view, "MonthlyCalendar(&M)", "MonthlyCalendar の表示/非表示を設定します");
    WeeklyCalendarShow = Toggle(view, "WeeklyCalendar(&W)", "WeeklyCalendar の表示/非表示を設定します");
    StatusBarShow = Toggle(view, "ステータスバー(&S)", "StatusBar の表示/非表示を設定します");
    connect(MonthlyCalendarShow, &QAction::triggered, this, Guarded([this] { MonthlyCalendarShowClick(); }));
    connect(WeeklyCalendarShow, &QAction::triggered, this, Guarded([this] { WeeklyCalendarShowClick(); }));
    connect(StatusBarShow, &QAction::triggered, this, Guarded([this] { StatusBarShowClick(); }));
    RokuyoShow = Toggle(view, "六曜(&R)", "MonthlyCalendar の六曜の表示/非表示を設定します");
    RokuyoShow->setChecked(false);
    connect(RokuyoShow, &QAction::triggered, this, Guarded([this] { RokuyoShowClick(); }));
    BuildEntryMenu(view);

    QMenu* reg = bar->addMenu(U("登録/削除(&T)"));
    Save1 = Item(reg, "保存(&S)", "Editor の内容の保存", QKeySequence(Qt::CTRL | Qt::Key_S));
    Delete1 = Item(reg, "削除(&D)", "Editor の内容ファイルの削除");
    reg->addSeparator();
    WHolDayAdd = Item(reg, "休日の登録(&H)", "選択されている日を休日にします");
    WHolDayDelete = Item(reg, "休日の削除", "休日データを編集します", QKeySequence(Qt::CTRL | Qt::Key_H));
    WSpecialDayAdd = Item(reg, "特別な日の登録(&P)", "選択されている日を特別な日とします");
    WSpecialDayDalete = Item(reg, "特別な日の削除", "特別な日を編集します", QKeySequence(Qt::CTRL | Qt::Key_P));

    QMenu* options = bar->addMenu(U("設定(&O)"));
    BuildOptionsMenu(options);

    QMenu* help = bar->addMenu(U("ヘルプ(&H)"));
    About1 = help->addAction(U("アバウト(&A)"));
    connect(About1, &QAction::triggered, this, Guarded([this] { About1Click(); }));
}

void TForm1::BuildPopupMenus() {
    // A null caption stands for a separator.
    auto popup = [this](std::initializer_list<const char*> captions) {
        QMenu* menu = new QMenu(this);
        for (const char* caption : captions) {
            if (caption)
                Item(menu, caption, nullptr);
            else
                menu->addSeparator();
        }
        return menu;
    };
    PopupMenu1 = popup({"休日の登録(&A)", "休日の削除(&B)", "特別な日の登録(&C)", "特別な日の削除(&D)", nullptr,
                        "休日の出力(&H)", "特別な日の出力(&S)"});
    PopupMenu2 = popup({"Editor の内容を保存(&S)", "切り取り(&T)", "コピー(&C)", "張り付け(&P)", nullptr,
                        "Editor の内容を編集可能にする(&E)", nullptr, "Editor の内容ファイルの削除(&D)", nullptr,
                        "エクスプローラー(&F)"});
    const QList<QAction*> editorItems = PopupMenu2->actions();
    EditorSave = editorItems[0];
    EditorCut1 = editorItems[1];
    EditorCopy1 = editorItems[2];
    EditorPaste1 = editorItems[3];
    CanEdit = editorItems[5];
    EditorFileDalete = editorItems[7];
    F1 = editorItems[9];
}
