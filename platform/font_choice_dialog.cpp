#include "platform/font_choice_dialog.h"

#include "platform/qt_colors.h"
#include "platform/handler_guard.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {

struct NamedColor {
    TColor color;
    const char* name;
};

// The sixteen colours of the platform's font dialog, in its order.
const NamedColor kColors[] = {
    {clBlack, "黒"},     {clMaroon, "マルーン"}, {clGreen, "緑"},   {clOlive, "オリーブ"},
    {clNavy, "紺"},      {clPurple, "紫"},       {clTeal, "緑青"},  {clGray, "灰色"},
    {clSilver, "銀色"},  {clRed, "赤"},          {clLime, "黄緑"},  {clYellow, "黄"},
    {clBlue, "青"},      {clFuchsia, "赤紫"},    {clAqua, "水色"},  {clWhite, "白"},
};

const char* const kStyles[] = {"標準", "斜体", "太字", "太字 斜体"};

QIcon Swatch(TColor color) {
    QPixmap p(24, 12);
    p.fill(ToQColor(color));
    return QIcon(p);
}

// The installed face that a substituted name draws with; empty when none is installed.
QString InstalledFace(const QString& name) {
    for (const QString& s : QFont::substitutes(name))
        if (QFontDatabase::hasFamily(s)) return s;
    return {};
}

// Fontconfig lists generic names ("Sans Serif", "Monospace") as families too; they stand
// for whatever the machine's configuration picks, so they are no face of their own.
bool IsRealFace(const QString& family) { return QFontInfo(QFont(family)).family() == family; }

}  // namespace

bool IsFixedPitchFace(const QString& family) {
    if (QFontDatabase::isFixedPitch(family)) return true;
    QFont f(family);
    f.setPixelSize(16);
    QFontMetrics m(f);
    const int advance = m.horizontalAdvance(QLatin1Char('M'));
    for (char c = 0x21; c < 0x7F; ++c)
        if (m.horizontalAdvance(QLatin1Char(c)) != advance) return false;
    return advance > 0;
}

QStringList OfferedFaces(bool fixedPitchOnly) {
    QStringList faces;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family) || family.contains(QLatin1Char('['))) continue;
        if (!IsRealFace(family)) continue;
        // A name the settings cannot store in CP932 could never be read back.
        if (!QStringToSjis(family)) continue;
        if (!fixedPitchOnly || IsFixedPitchFace(family)) faces << family;
    }
    std::sort(faces.begin(), faces.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a, b) < 0;
    });
    return faces;
}

QString FaceStoodFor(const QString& stored) {
    QString name = stored;
    if (name.startsWith(QLatin1Char('@'))) name.remove(0, 1);
    if (SubstitutedFaces().contains(name))
        name = InstalledFace(name);
    else if (!QFontDatabase::hasFamily(name))
        return name;
    // The font database may know a face by several names (Latin and Japanese); the list
    // shows the one it resolves to.
    return name.isEmpty() ? QString() : QFontInfo(QFont(name)).family();
}

TFontChoiceDialog::TFontChoiceDialog(const TFont& initial, const TFontDialogOptions& options, QWidget* parent)
    : QDialog(parent), initial_(initial), options_(options) {
    setWindowTitle(U8("フォント"));
    auto* grid = new QGridLayout(this);

    FaceList = new QListWidget(this);
    FaceList->addItems(OfferedFaces(options.FixedPitchOnly));
    FaceList->setMinimumWidth(200);
    auto* faceLabel = new QLabel(U8("フォント名(&F):"), this);
    faceLabel->setBuddy(FaceList);
    grid->addWidget(faceLabel, 0, 0);
    grid->addWidget(FaceList, 1, 0, 4, 1);

    StyleBox = new QComboBox(this);
    for (const char* s : kStyles) StyleBox->addItem(U8(s));
    auto* styleLabel = new QLabel(U8("スタイル(&Y):"), this);
    styleLabel->setBuddy(StyleBox);
    grid->addWidget(styleLabel, 0, 1);
    grid->addWidget(StyleBox, 1, 1);

    SizeBox = new QSpinBox(this);
    SizeBox->setRange(options.MinSize > 0 ? options.MinSize : 1, options.MaxSize > 0 ? options.MaxSize : 72);
    auto* sizeLabel = new QLabel(U8("サイズ(&S):"), this);
    sizeLabel->setBuddy(SizeBox);
    grid->addWidget(sizeLabel, 2, 1);
    grid->addWidget(SizeBox, 3, 1);
    grid->setRowStretch(4, 1);

    if (options.Effects) {
        auto* effects = new QGroupBox(U8("文字飾り"), this);
        BuildEffects(effects);
        grid->addWidget(effects, 5, 0);
    }
    auto* sampleBox = new QGroupBox(U8("サンプル"), this);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    Sample = new QLabel(U8("Aaあぁアァ亜宇"), sampleBox);
    Sample->setAlignment(Qt::AlignCenter);
    Sample->setMinimumHeight(40);
    sampleLayout->addWidget(Sample);
    grid->addWidget(sampleBox, 5, 1);

    auto* buttons = new QDialogButtonBox(this);
    OkButton = buttons->addButton(U8("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(U8("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 6, 0, 1, 2);

    SelectInitial();
    connect(FaceList, &QListWidget::currentRowChanged, this, Guarded([this] { Update(); }));
    connect(StyleBox, &QComboBox::currentIndexChanged, this, Guarded([this] { Update(); }));
    connect(SizeBox, &QSpinBox::valueChanged, this, Guarded([this] { Update(); }));
    if (options.Effects) {
        connect(UnderlineBox, &QCheckBox::toggled, this, Guarded([this] { Update(); }));
        connect(StrikeOutBox, &QCheckBox::toggled, this, Guarded([this] { Update(); }));
        connect(ColorBox, &QComboBox::currentIndexChanged, this, Guarded([this] { Update(); }));
    }
    Update();
}

void TFontChoiceDialog::BuildEffects(QWidget* parent) {
    auto* layout = new QVBoxLayout(parent);
    StrikeOutBox = new QCheckBox(U8("取り消し線(&K)"), parent);
    UnderlineBox = new QCheckBox(U8("下線(&U)"), parent);
    ColorBox = new QComboBox(parent);
    auto* colorLabel = new QLabel(U8("色(&C):"), parent);
    colorLabel->setBuddy(ColorBox);
    layout->addWidget(StrikeOutBox);
    layout->addWidget(UnderlineBox);
    layout->addWidget(colorLabel);
    layout->addWidget(ColorBox);
    const bool listed = std::any_of(std::begin(kColors), std::end(kColors),
                                    [this](const NamedColor& c) { return c.color == initial_.Color(); });
    // A colour outside the sixteen (the system's text colour, say) stays choosable.
    if (!listed) ColorBox->addItem(Swatch(initial_.Color()), U8("現在の色"), initial_.Color());
    for (const NamedColor& c : kColors) ColorBox->addItem(Swatch(c.color), U8(c.name), c.color);
}

void TFontChoiceDialog::SelectInitial() {
    // A face that is not offered (a proportional one while only fixed-pitch faces are
    // allowed) is not selected: OK waits until the user picks one that exists.
    const QString face = FaceStoodFor(SjisToQString(initial_.Name()));
    const QList<QListWidgetItem*> match = face.isEmpty() ? QList<QListWidgetItem*>() : FaceList->findItems(face, Qt::MatchExactly);
    if (!match.isEmpty()) {
        FaceList->setCurrentItem(match.front());
        initialRow_ = FaceList->row(match.front());
    }
    const TFontStyles style = initial_.Style();
    StyleBox->setCurrentIndex(((style & fsBold) ? 2 : 0) + ((style & fsItalic) ? 1 : 0));
    SizeBox->setValue(initial_.Size());
    if (options_.Effects) {
        UnderlineBox->setChecked(style & fsUnderline);
        StrikeOutBox->setChecked(style & fsStrikeOut);
        ColorBox->setCurrentIndex(std::max(0, ColorBox->findData(initial_.Color())));
    }
}

TFont TFontChoiceDialog::Font() const {
    TFont font(initial_);
    // The stored name stays while its face is chosen, so that a Windows name in the
    // settings survives a dialog the user only looked at.
    QListWidgetItem* item = FaceList->currentItem();
    if (item && FaceList->row(item) != initialRow_)
        if (auto name = QStringToSjis(item->text())) font.SetName(*name);
    font.SetSize(SizeBox->value());
    TFontStyles style = initial_.Style() & (fsUnderline | fsStrikeOut);
    if (StyleBox->currentIndex() & 1) style |= fsItalic;
    if (StyleBox->currentIndex() & 2) style |= fsBold;
    if (options_.Effects) {
        style = static_cast<TFontStyles>(style & ~(fsUnderline | fsStrikeOut));
        if (UnderlineBox->isChecked()) style |= fsUnderline;
        if (StrikeOutBox->isChecked()) style |= fsStrikeOut;
        font.SetColor(ColorBox->currentData().toInt());
    }
    font.SetStyle(style);
    return font;
}

void TFontChoiceDialog::Update() {
    OkButton->setEnabled(FaceList->currentItem() != nullptr);
    const TFont font = Font();
    Sample->setFont(ToQFont(font));
    QPalette p = Sample->palette();
    p.setColor(QPalette::WindowText, ToQColor(font.Color()));
    Sample->setPalette(p);
}
