// A Qt window's placement through the settings file and back.
#include "settings_fixture.h"

#include "settings/window_position.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

using WindowPosition = SettingsFolder;

TEST_F(WindowPosition, RoundTripThroughTheFile) {
    TIniStore store;
    store.SetApplicationDir(dir_.string());
    store.SetFileName("Mekuri.ini");

    QWidget closing;
    closing.setGeometry(50, 60, 300, 200);
    closing.setWindowState(Qt::WindowMaximized);
    WriteWindowPosition(store, "Form", "Position", closing);
    EXPECT_EQ(store.ReadInteger("Form", "Position.Show", 0), kShowMaximized);
    EXPECT_EQ(store.ReadInteger("Form", "Position.XSize", 0), 350);  // an edge, not a width

    QWidget starting;
    starting.setGeometry(192, 107, 615, 440);
    ReadWindowPosition(store, "Form", "Position", starting);
    EXPECT_TRUE(starting.windowState().testFlag(Qt::WindowMaximized));
    TWindowPlacement p = GetWindowPlacement(starting);
    EXPECT_EQ(p.NormalPosition.Left, 50);
    EXPECT_EQ(p.NormalPosition.Bottom, 260);

    // A minimised window that was maximised before comes back the same way.
    TWindowPlacement minimized = p;
    minimized.ShowCmd = kShowMinimized;
    minimized.Flags = kPlacementRestoreToMaximized;
    SetWindowPlacement(starting, minimized);
    EXPECT_TRUE(starting.windowState().testFlag(Qt::WindowMinimized));
    EXPECT_TRUE(starting.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_EQ(GetWindowPlacement(starting).Flags, kPlacementRestoreToMaximized);
}

TEST_F(WindowPosition, DamagedPlacementsKeepTheWindowReachable) {
    QWidget window;
    window.setGeometry(10, 20, 300, 200);
    TWindowPlacement p;
    p.ShowCmd = kShowHide;
    p.NormalPosition = {-2147483647 - 1, 5000000, 2147483647, 5000100};
    SetWindowPlacement(window, p);
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);
    EXPECT_EQ(window.width(), 300);  // no usable width: the old one stays
    EXPECT_EQ(window.height(), 100);
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(window.geometry()));
}

TEST_F(WindowPosition, HugeStoredCoordinatesNeverPutTheWindowOffScreen) {
    const int big = 2147483647, small = -2147483647 - 1;
    const TPlacementRect damaged[] = {
        {big, 107, 807, 547},   {192, big, 807, 547},  {192, 107, big, 547},    {192, 107, 807, big},
        {small, 107, 807, 547}, {big - 100, 0, big, 400}, {small, small, small + 300, small + 200},
        {big - 10, big - 10, big, big},
    };
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const TPlacementRect& r : damaged) {
        QWidget window;
        window.setGeometry(192, 107, 615, 440);
        TWindowPlacement p;
        p.NormalPosition = r;
        SetWindowPlacement(window, p);
        QRect g = window.geometry();
        EXPECT_TRUE(screen.intersects(g)) << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << " gave "
                                          << g.x() << "," << g.y() << " " << g.width() << "x" << g.height();
        EXPECT_GT(g.width(), 0);
        EXPECT_GT(g.height(), 0);
    }
}

// Saved on another screen layout or at 2x scale: the window comes back wholly on a screen,
// shrunk to it when it was larger, and an in-screen placement is kept as it was.
TEST_F(WindowPosition, RestoredPlacementFitsWhollyOnAScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    TWindowPlacement p;
    auto place = [&](int left, int top, int width, int height) {
        p.NormalPosition = {left, top, left + width, top + height};
        SetWindowPlacement(window, p);
        return window.geometry();
    };
    EXPECT_TRUE(screen.contains(place(screen.right() + 500, screen.bottom() + 500, 615, 460))) << "off every screen";
    EXPECT_TRUE(screen.contains(place(screen.left() + 40, screen.top() + 30, 2 * screen.width(), 2 * screen.height())))
        << "twice the screen's size";
    EXPECT_TRUE(screen.contains(place(screen.right() - 100, screen.top() + 10, 615, 460))) << "half off the right edge";
    EXPECT_EQ(place(screen.left() + 20, screen.top() + 30, 300, 200), QRect(screen.left() + 20, screen.top() + 30, 300, 200));
}
