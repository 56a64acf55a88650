#include "editor/editor.h"

#include "editor/cell_text.h"
#include "editor/editor_accessible.h"
#include "editor/editor_scroll_bar.h"
#include "platform/handler_guard.h"
#include "platform/qt_text.h"
#include "platform/sjis.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cctype>

namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

TEditor::TEditor(QWidget* parent) : TEditor(parent, [] {
    TFont font;
    font.SetName(Sjis("FixedSys"));
    return font;
}()) {}

TEditor::TEditor(QWidget* parent, const TFont& font) : QAbstractScrollArea(parent), cellText_(new TCellText) {
    static const bool heard = (QAccessible::installFactory(EditorAccessibleFactory), true);
    (void)heard;
    session_.SetView(this);
    session_.Store().OnChange = [this] {
        if (OnChange) OnChange(this);
    };
    // The reserved-word font starts as the text font and follows it from then on.
    font_.Assign(font);
    reserveWordFont_ = font_;
    font_.OnChange = [this] { FontChanged(); };
    reserveWordFont_.OnChange = [this] { ReserveFontChanged(); };
    InitDelimiters();

    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setVerticalScrollBar(new TEditorScrollBar(Qt::Vertical, this));
    setHorizontalScrollBar(new TEditorScrollBar(Qt::Horizontal, this));
    SetScrollBarPolicies();
    QObject::connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
                     Guarded([this](int action) { ScrollBarAction(Qt::Vertical, action); }));
    QObject::connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
                     Guarded([this](int action) { ScrollBarAction(Qt::Horizontal, action); }));
    resize(185, 89);

    caretTimer_.setInterval(std::max(100, QApplication::cursorFlashTime() / 2));
    QObject::connect(&caretTimer_, &QTimer::timeout, this, Guarded([this] { BlinkCaret(); }));
    QObject::connect(&dragTimer_, &QTimer::timeout, this, Guarded([this] { DragStep(); }));

    UpdateMetrics();
    UpdateScrollRanges();
}

TEditor::~TEditor() {
    session_.SetView(nullptr);
    session_.Store().OnChange = nullptr;
}

void TEditor::InitDelimiters() { session_.Delimiters() = DefaultDelimiters(); }

// --- The text -------------------------------------------------------------------------

void TEditor::SetLines(const TStrings& source) { session_.Lines().CopyFrom(source); }

void TEditor::Clear() {
    session_.Clear();
    Repaint();
}

// --- Properties -----------------------------------------------------------------------

void TEditor::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    setFrameStyle(style == bsSingle ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
}

void TEditor::SetCaretFree(bool on) {
    session_.Options().caretFree = on;
    if (!on) session_.Store().SetDisposeBlank(false);
}

void TEditor::SetCaretStyle(TCaretStyle style) {
    if (style == caretStyle_) return;
    caretStyle_ = style;
    CreateCaretShape();
}

void TEditor::SetOverWrite(bool on) {
    if (on == OverWrite()) return;
    session_.Options().overWrite = on;
    CreateCaretShape();
}

void TEditor::SetCharacterMargin(int pixels) {
    pixels = std::clamp(pixels, -5, 100);
    if (pixels == characterMargin_) return;
    characterMargin_ = pixels;
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
    CreateCaretShape();
}

void TEditor::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Repaint();
}

void TEditor::SetDefaultDrawing(bool on) {
    if (on == defaultDrawing_) return;
    defaultDrawing_ = on;
    Repaint();
}

void TEditor::SetDelimDBCS(bool on) {
    if (on == DelimDBCS()) return;
    session_.Options().delimDbcs = on;
    Repaint();
}

void TEditor::SetDisposeBlank(bool on) {
    session_.Store().SetDisposeBlank(on && CaretFree() && !retMark_ && !eofMark_ && !WordWrap());
}

void TEditor::SetDrawAllWords(bool on) {
    if (on == drawAllWords_) return;
    drawAllWords_ = on;
    Repaint();
}

void TEditor::SetEofMark(bool on) {
    if (on) session_.Store().SetDisposeBlank(false);
    if (on == eofMark_) return;
    eofMark_ = on;
    Repaint();
}

void TEditor::SetEofMarkColor(TColor color) {
    if (color == eofMarkColor_) return;
    eofMarkColor_ = color;
    Repaint();
}

void TEditor::SetLeftMargin(int pixels) {
    pixels = std::clamp(pixels, 0, 100);
    if (pixels == leftMargin_) return;
    leftMargin_ = pixels;
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
    CreateCaretShape();
}

void TEditor::SetLineMargin(int pixels) {
    pixels = std::clamp(pixels, 0, 100);
    if (pixels == lineMargin_) return;
    lineMargin_ = pixels;
    // The row pitch changes with it, and so does everything counted in rows.
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
    CreateCaretShape();
}

void TEditor::SetTopMargin(int pixels) {
    pixels = std::clamp(pixels, 0, 100);
    if (pixels == topMargin_) return;
    topMargin_ = pixels;
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
    CreateCaretShape();
}

void TEditor::SetReserveBkColor(TColor color) {
    if (color == reserveBkColor_) return;
    reserveBkColor_ = color;
    if (reserveWordColor_) Repaint();
}

void TEditor::TakeFontRules(TFont& target, const TFont& source) const {
    target.SetName(source.Name());
    target.SetHeight(source.Height());
    if (source.Style() & fsItalic) target.SetStyle(target.Style() | fsItalic);
}

void TEditor::SetReserveWordFont(const TFont& font) {
    TFont next(font);
    next.OnChange = nullptr;
    TakeFontRules(next, font_);
    reserveWordFont_.Assign(next);
}

void TEditor::ReserveFontChanged() {
    italicOverhang_ = (reserveWordFont_.Style() & fsItalic) && !(font_.Style() & fsItalic);
    Repaint();
}

void TEditor::FontChanged() {
    TFont next(reserveWordFont_);
    next.OnChange = nullptr;
    TakeFontRules(next, font_);
    reserveWordFont_.Assign(next);
    italicOverhang_ = (reserveWordFont_.Style() & fsItalic) && !(font_.Style() & fsItalic);
    // A column of the old cell width means nothing in the new one.
    if (topCol_ > 0) session_.SetCaret(Row(), 0);
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
    CreateCaretShape();
}

void TEditor::SetReserveWordColor(bool on) {
    if (on == reserveWordColor_) return;
    reserveWordColor_ = on;
    Repaint();
}

void TEditor::SetReserveWordList(const TStrings& words) {
    std::vector<std::string> sorted;
    sorted.reserve(static_cast<size_t>(words.Count()));
    for (int i = 0; i < words.Count(); ++i) sorted.push_back(words.Strings(i));
    std::stable_sort(sorted.begin(), sorted.end(), LessNoCase);
    sorted.erase(std::unique(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
                     return EqualNoCase(a, b);
                 }),
                 sorted.end());
    if (sorted == reserveWordList_.Lines()) return;
    reserveWordList_.Clear();
    for (const std::string& w : sorted) reserveWordList_.Add(w);
    if (reserveWordColor_) Repaint();
}

bool TEditor::IsReserved(std::string_view word) const {
    const auto& words = reserveWordList_.Lines();
    auto it = std::lower_bound(words.begin(), words.end(), word, [](const std::string& a, std::string_view b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    });
    return it != words.end() && EqualNoCase(*it, word);
}

void TEditor::SetRetMark(bool on) {
    if (on) session_.Store().SetDisposeBlank(false);
    if (on == retMark_) return;
    retMark_ = on;
    Repaint();
}

void TEditor::SetRetMarkColor(TColor color) {
    if (color == retMarkColor_) return;
    retMarkColor_ = color;
    Repaint();
}

void TEditor::SetScrollBars(TScrollStyle style) {
    if (style == scrollBars_) return;
    scrollBars_ = style;
    SetScrollBarPolicies();
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
}

void TEditor::SetSelectBkColor(TColor color) {
    if (color == selectBkColor_) return;
    selectBkColor_ = color;
    if (Selected()) Repaint();
}

void TEditor::SetSelectFontColor(TColor color) {
    if (color == selectFontColor_) return;
    selectFontColor_ = color;
    if (Selected()) Repaint();
}

void TEditor::SetUnderLine(bool on) {
    if (on == underLine_) return;
    underLine_ = on;
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
    CreateCaretShape();
}

void TEditor::SetUnderLineColor(TColor color) {
    if (color == underLineColor_) return;
    underLineColor_ = color;
    Repaint();
}

void TEditor::SetWordWrap(bool on) { session_.SetWordWrap(on); }

void TEditor::SetWrapByte(int columns) { session_.SetWrapByte(columns); }

// --- Events to the owner ----------------------------------------------------------------

void TEditor::DoBeforeDrawWord(const std::string& word, bool reserved) {
    if (OnBeforeDrawWord) OnBeforeDrawWord(this, word, reserved);
}

void TEditor::DoDrawLine(const std::string& lineStr, int x, int y, int index, const QRect& aRect) {
    if (OnDrawLine) OnDrawLine(this, lineStr, x, y, index, aRect);
}

void TEditor::DoTopRowChange() {
    if (OnTopRowChange) OnTopRowChange(this);
}

void TEditor::DoTopColChange() {
    if (OnTopColChange) OnTopColChange(this);
}

