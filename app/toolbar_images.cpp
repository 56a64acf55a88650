#include "app/toolbar_images.h"

namespace {

// Icon names of the freedesktop icon themes; the shipped pictures carry the
// same names.
constexpr const char* kNames[] = {
    "edit-copy", "document-save", "edit-cut", "edit-paste", "document-print", "preferences-desktop-font",
    "preferences-desktop-color",
};

}  // namespace

QIcon ToolbarImage(int index) {
    QString name = QString::fromLatin1(kNames[index]);
    return QIcon::fromTheme(name, QIcon(QStringLiteral(":/mekuri/%1.svg").arg(name)));
}

QIcon MekuriIcon() { return QIcon(QStringLiteral(":/mekuri/mekuri.svg")); }
