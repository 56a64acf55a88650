#include "window/period_dialog.h"

#include "platform/dialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

const char* const kSuffixes[] = {".txt", ".md", ".pdf"};

QDate ToQDate(const TYMD& d) { return QDate(d.Year, d.Month, d.Day); }

TYMD FromQDate(const QDate& d) {
    return {d.year(), static_cast<std::uint8_t>(d.month()), static_cast<std::uint8_t>(d.day())};
}

QDateEdit* DateField(QWidget* parent, const TYMD& day) {
    auto* edit = new QDateEdit(ToQDate(day), parent);
    edit->setDisplayFormat(U("yyyy年M月d日"));
    edit->setCalendarPopup(true);
    // The field counts days the Gregorian way throughout; the diary's dates are Julian
    // before the reform, so the field starts well after it.
    edit->setMinimumDate(QDate(1600, 1, 1));
    return edit;
}

}  // namespace

TPeriodDialog::TPeriodDialog(QWidget* parent, bool forExport, const TPeriodChoice& initial) : QDialog(parent) {
    setWindowTitle(U(forExport ? "期間を書き出す" : "期間を印刷"));
    auto* form = new QFormLayout(this);
    FirstDay = DateField(this, initial.first);
    LastDay = DateField(this, initial.last);
    form->addRow(U("最初の日(&F):"), FirstDay);
    form->addRow(U("最後の日(&L):"), LastDay);
    if (forExport) {
        Format = new QComboBox(this);
        Format->addItems({U("テキスト"), U("Markdown"), U("PDF")});
        Format->setCurrentIndex(static_cast<int>(initial.format));
        form->addRow(U("形式(&M):"), Format);
        auto* row = new QHBoxLayout;
        FileName = new QLineEdit(QString::fromStdString(initial.file), this);
        FileName->setMinimumWidth(260);
        auto* browse = new QPushButton(U("参照(&B)..."), this);
        row->addWidget(FileName);
        row->addWidget(browse);
        auto* label = new QLabel(U("ファイル(&N):"), this);
        label->setBuddy(FileName);
        form->addRow(label, row);
        connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
        connect(Format, &QComboBox::currentIndexChanged, this, [this] { FormatChanged(); });
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(U(forExport ? "書き出す" : "印刷..."));
    buttons->button(QDialogButtonBox::Cancel)->setText(U("キャンセル"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TPeriodDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TPeriodDialog::reject);
}

TPeriodChoice TPeriodDialog::Choice() const {
    TPeriodChoice c;
    c.first = FromQDate(FirstDay->date());
    c.last = FromQDate(LastDay->date());
    if (Format) c.format = static_cast<TPeriodFormat>(Format->currentIndex());
    if (FileName) c.file = FileName->text().trimmed().toStdString();
    return c;
}

void TPeriodDialog::accept() {
    if (LastDay->date() < FirstDay->date()) {
        Dialogs().Error("最後の日が最初の日より前です");
        return;
    }
    if (FileName && FileName->text().trimmed().isEmpty()) {
        Dialogs().Error("書き出すファイルを指定してください");
        return;
    }
    // The file chooser asked already about a file it was given.
    const QString file = FileName ? FileName->text().trimmed() : QString();
    if (FileName && file != chosen_ && QFileInfo::exists(file) &&
        !Dialogs().Confirm("ファイル " + file.toStdString() + " は既にあります。置き換えますか？"))
        return;
    QDialog::accept();
}

void TPeriodDialog::Browse() {
    const QString name = QFileDialog::getSaveFileName(this, U("書き出すファイル"), FileName->text());
    if (name.isEmpty()) return;
    FileName->setText(name);
    chosen_ = name;
}

void TPeriodDialog::FormatChanged() {
    QString name = FileName->text();
    for (const char* suffix : kSuffixes) {
        if (name.endsWith(U(suffix))) {
            name.chop(static_cast<int>(std::char_traits<char>::length(suffix)));
            FileName->setText(name + U(kSuffixes[Format->currentIndex()]));
            return;
        }
    }
}
