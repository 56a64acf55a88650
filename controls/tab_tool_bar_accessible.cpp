#include "controls/tab_tool_bar_accessible.h"

#include "controls/tab_tool_bar.h"
#include "platform/accessible_part.h"

#include <QAccessibleWidget>

namespace {

class TTabToolBarAccessible;

class TTabAccessible : public TAccessiblePart, public QAccessibleActionInterface {
public:
    TTabAccessible(QAccessibleInterface* owner, TTabToolBar* bar) : TAccessiblePart(owner), bar_(bar) {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return QString();
        return bar_->Maximized() ? QStringLiteral("ツールバーを折りたたむ") : QStringLiteral("ツールバーを広げる");
    }
    QRect rect() const override { return QRect(bar_->mapToGlobal(bar_->TabRect().topLeft()), bar_->TabRect().size()); }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invisible = !bar_->ShowTab();
        s.expandable = true;
        s.expanded = bar_->Maximized();
        s.collapsed = !bar_->Maximized();
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && bar_->ShowTab()) bar_->SetMaximized(!bar_->Maximized());
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    TTabToolBar* bar_;
};

class TTabToolBarAccessible : public QAccessibleWidget {
public:
    explicit TTabToolBarAccessible(TTabToolBar* bar) : QAccessibleWidget(bar, QAccessible::ToolBar) {
        tab_ = QAccessible::registerAccessibleInterface(new TTabAccessible(this, bar));
    }
    ~TTabToolBarAccessible() override { QAccessible::deleteAccessibleInterface(tab_); }
    // The bar's own children first, the tab last.
    int childCount() const override { return QAccessibleWidget::childCount() + 1; }
    QAccessibleInterface* child(int index) const override {
        return index == QAccessibleWidget::childCount() ? QAccessible::accessibleInterface(tab_)
                                                        : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child == QAccessible::accessibleInterface(tab_) ? QAccessibleWidget::childCount()
                                                                : QAccessibleWidget::indexOfChild(child);
    }

private:
    QAccessible::Id tab_ = 0;
};

}  // namespace

QAccessibleInterface* TabToolBarAccessibleFactory(const QString&, QObject* object) {
    if (auto* bar = dynamic_cast<TTabToolBar*>(object)) return new TTabToolBarAccessible(bar);
    return nullptr;
}
