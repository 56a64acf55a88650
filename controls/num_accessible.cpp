#include "controls/num_accessible.h"

#include "controls/num_edit.h"
#include "controls/up_down.h"
#include "platform/accessible_events.h"
#include "platform/accessible_part.h"

#include <QAccessibleWidget>

namespace {

// The up/down bound to a field, found among the field's siblings. TUpDown declares no
// meta-object of its own, so a cast by Qt's meta-objects would take any widget for one.
TUpDown* PartnerOf(const TNumEdit* field) {
    if (!field->parentWidget()) return nullptr;
    for (QObject* child : field->parentWidget()->children())
        if (auto* ud = dynamic_cast<TUpDown*>(child); ud && ud->Associate() == field) return ud;
    return nullptr;
}

class TNumEditAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TNumEditAccessible(TNumEdit* field) : QAccessibleWidget(field, QAccessible::SpinBox) {
        // The reader hears each new number, whoever set it (the arrows, the calendar).
        QObject::connect(field, &QLineEdit::textChanged, field, [field] {
            QAccessibleValueChangeEvent ev(field, static_cast<double>(field->Value()));
            SendAccessibleEvent(&ev);
        });
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Field()->text();
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return static_cast<double>(Field()->Value()); }
    // Stepped there, so that the owner hears every step as from the arrows.
    void setCurrentValue(const QVariant& value) override {
        TUpDown* ud = PartnerOf(Field());
        if (!ud) return;
        const int target = value.toInt();
        for (int guard = 0; guard < 100000; ++guard) {
            const int now = static_cast<int>(Field()->Value());
            if (now == target) break;
            ud->Step(target > now ? 1 : -1);
            if (static_cast<int>(Field()->Value()) == now) break;  // at a bound, or refused
        }
    }
    QVariant maximumValue() const override {
        const TUpDown* ud = PartnerOf(Field());
        return ud ? QVariant(ud->Max()) : QVariant();
    }
    QVariant minimumValue() const override {
        const TUpDown* ud = PartnerOf(Field());
        return ud ? QVariant(ud->Min()) : QVariant();
    }
    QVariant minimumStepSize() const override { return 1; }

private:
    TNumEdit* Field() const { return static_cast<TNumEdit*>(widget()); }
};

class TUpDownAccessible;

// One arrow of the up/down: a button that steps the field.
class TArrowAccessible : public TAccessiblePart, public QAccessibleActionInterface {
public:
    TArrowAccessible(TUpDownAccessible* owner, int delta);
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override { return {}; }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    TUpDownAccessible* owner_;
    int delta_;
};

class TUpDownAccessible : public QAccessibleWidget {
public:
    explicit TUpDownAccessible(TUpDown* ud) : QAccessibleWidget(ud, QAccessible::Grouping) {
        up_ = QAccessible::registerAccessibleInterface(new TArrowAccessible(this, 1));
        down_ = QAccessible::registerAccessibleInterface(new TArrowAccessible(this, -1));
    }
    ~TUpDownAccessible() override {
        QAccessible::deleteAccessibleInterface(up_);
        QAccessible::deleteAccessibleInterface(down_);
    }
    int childCount() const override { return 2; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::accessibleInterface(up_)
                          : index == 1 ? QAccessible::accessibleInterface(down_) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child == this->child(0) ? 0 : child == this->child(1) ? 1 : -1;
    }
    TUpDown* UpDown() const { return static_cast<TUpDown*>(widget()); }

private:
    QAccessible::Id up_ = 0;
    QAccessible::Id down_ = 0;
};

TArrowAccessible::TArrowAccessible(TUpDownAccessible* owner, int delta)
    : TAccessiblePart(owner), owner_(owner), delta_(delta) {}

QString TArrowAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name) return QString();
    const TUpDown* ud = owner_->UpDown();
    const QString unit = ud->Associate() ? ud->Associate()->accessibleName() : QString();
    return unit + (delta_ > 0 ? QStringLiteral("を1つ増やす") : QStringLiteral("を1つ減らす"));
}

QRect TArrowAccessible::rect() const {
    const TUpDown* ud = owner_->UpDown();
    const int half = ud->height() / 2;
    const QRect local = delta_ > 0 ? QRect(0, 0, ud->width(), half) : QRect(0, half, ud->width(), ud->height() - half);
    return QRect(ud->mapToGlobal(local.topLeft()), local.size());
}

void TArrowAccessible::doAction(const QString& name) {
    if (name == pressAction()) owner_->UpDown()->Step(delta_);
}

}  // namespace

QAccessibleInterface* NumAccessibleFactory(const QString&, QObject* object) {
    if (auto* field = dynamic_cast<TNumEdit*>(object)) return new TNumEditAccessible(field);
    if (auto* ud = dynamic_cast<TUpDown*>(object)) return new TUpDownAccessible(ud);
    return nullptr;
}

void InstallNumAccessible() {
    static const bool installed = (QAccessible::installFactory(NumAccessibleFactory), true);
    (void)installed;
}
