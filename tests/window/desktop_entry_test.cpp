// The running program names its menu entry, and the entry names the program's window class,
// so that docks and compositors show its icon and group its window under its launcher.
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(DesktopEntry, ApplicationAndMenuEntryNameEachOther) {
    const QString id = QGuiApplication::desktopFileName();
    ASSERT_EQ(id, "jp.mekuri.Mekuri");
    QFile entry(QStringLiteral(MEKURI_SOURCE_DIR "/resources/desktop/") + id + ".desktop");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly)) << "no menu entry named after the application";
    const QString text = QString::fromUtf8(entry.readAll());
    const QRegularExpressionMatch wmClass = QRegularExpression("^StartupWMClass=(.*)$", QRegularExpression::MultilineOption).match(text);
    ASSERT_TRUE(wmClass.hasMatch());
    // On X11 the class half of WM_CLASS is the application name.
    EXPECT_EQ(wmClass.captured(1), QGuiApplication::applicationName());
    EXPECT_TRUE(text.contains(QRegularExpression("^Icon=" + QRegularExpression::escape(id) + "$", QRegularExpression::MultilineOption)));
}
