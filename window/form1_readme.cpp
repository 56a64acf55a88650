// The about and readme box of the help menu, with Mekuri's own readme text.
#include "window/form1.h"

#include "window/toolbar_images.h"
#include "controls/readme_dialog.h"
#include "platform/sjis.h"

namespace {

TFont GothicFont(int height, TColor color, TFontStyles style) {
    TFont f;
    f.SetName(Sjis("ＭＳ Ｐゴシック"));
    f.SetCharset(SHIFTJIS_CHARSET);
    f.SetHeight(height);
    f.SetColor(color);
    f.SetStyle(style);
    return f;
}

// Only what is true: where faults go (as the readme says), the licence, and thanks that
// name every library the program is linked with. The program has no mail or web address
// of its own, so nothing is inserted into the text and nothing is selected.
const char* const kReadme[] = {
    "不具合の報告：Mekuri の課題管理 (issue tracker) へ",
    "ライセンス：MIT ライセンス (同梱の LICENSE ファイル)",
    "",
    "■ キーボード操作",
    "",
    "　月のカレンダー：←→ 1日、↑↓ 1週、PageUp/PageDown 1ヶ月、",
    "　　Home/End 週の初め・終わりの日",
    "　週の一覧：↑↓ 1日、PageUp/PageDown 1週、Home/End 週の初め・終わり",
    "　年・月・日の欄：↑↓ で増減",
    "　ツールバー：Tab でボタンへ移り、Space で押す",
    "　エディタ・カレンダー：Menu キーか Shift+F10 でポップアップメニュー",
    "　Ctrl+S 保存、Ctrl+F 検索、F3/Shift+F3 次・前を検索、",
    "　Ctrl+Shift+F 日記全体から検索、Alt+←/Alt+→ 前・次の日記",
    "　画面読み上げソフト (AT-SPI) でも日記とカレンダーを読めます。",
    "",
    "",
    "■ 使用許諾",
    "",
    "　Mekuri はフリーソフトウェアです。MIT ライセンスに従い、",
    "　どなたでも無償で使用・複製・改変・再配布できます。",
    "　条件の全文は同梱の LICENSE ファイルをご覧ください。",
    "",
    "",
    "■ 不具合の報告",
    "",
    "　不具合やご要望は、Mekuri のソースを入手した先の課題管理",
    "　(issue tracker) に登録するか、保守担当者にお知らせください。",
    "　再現の手順を添えていただけると助かります。",
    "",
    "",
    "■ 免責",
    "",
    "　本ソフトウェアは「現状のまま」提供されます。使用に",
    "　よって生じたいかなる損害についても、作者は責任を",
    "　負いません。大切な日記は定期的に控えを取ってください。",
    "",
    "",
    "■ 謝辞",
    "",
    "　Mekuri は Qt 6、libnova、fontconfig、ICU、",
    "　GNU C ライブラリとその iconv、GCC の C++ ライブラリ、",
    "　IPA フォントの上に成り立っています。テストと計測には",
    "　GoogleTest と Google Benchmark を使っています。",
    "　作り手の皆さんと Debian の皆さんに心から感謝します。",
};

}  // namespace

// Made when first shown: it is rarely opened, and its text and picture would delay the
// window's first picture.
TReadmeDialog* TForm1::Readme() {
    if (ReadmeDialog1) return ReadmeDialog1;
    ReadmeDialog1 = new TReadmeDialog(this);
    ReadmeDialog1->TitleCaption = QString::fromUtf8("簡易日記・スケジューラー Ｍｅｋｕｒｉ v.1.16");
    ReadmeDialog1->SetTitleFont(GothicFont(-20, clActiveCaption, fsBold | fsItalic));
    ReadmeDialog1->DialogCaption = QString::fromUtf8("バージョン情報・説明");
    ReadmeDialog1->BtnOKCaption = QStringLiteral("&OK");
    ReadmeDialog1->CopyrightCaption = QString::fromUtf8("Copyright (c) 2026 Mekuri の作者一同　MIT ライセンス");
    ReadmeDialog1->SetCopyrightFont(GothicFont(-12, clInfoText, fsBold));
    ReadmeDialog1->SetMemoFont(GothicFont(-12, clWindowText, 0));
    ReadmeDialog1->InsBehindString.clear();
    ReadmeDialog1->InsString.clear();
    QStringList lines;
    for (const char* line : kReadme) lines << QString::fromUtf8(line);
    ReadmeDialog1->SetLines(lines);
    ReadmeDialog1->ShowOnStart = true;
    ReadmeDialog1->ShowOnStartCaption = QStringLiteral("Show Readme on next start?");
    ReadmeDialog1->ShowOnStartVisible = false;
    ReadmeDialog1->SetPicture(MekuriPicture(32));
    return ReadmeDialog1;
}

void TForm1::About1Click() { Readme()->ShowDialog(); }
