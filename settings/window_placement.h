#pragma once
// A window's placement as the settings keep it: the show state, the maximised position and
// the normal-state rectangle (right and bottom are edge coordinates, not a size), all in
// screen pixels. The window toolkit fills it in and applies it; the settings only store it.

// Show states.
constexpr int kShowHide = 0;
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

// Flags: the window goes back to the maximised state when it is restored from the minimised one.
constexpr int kPlacementRestoreToMaximized = 2;

struct TPlacementPoint {
    int X = -1;
    int Y = -1;
};

struct TPlacementRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

struct TWindowPlacement {
    int Flags = 0;
    int ShowCmd = kShowNormal;
    TPlacementPoint MinPosition;
    TPlacementPoint MaxPosition;
    TPlacementRect NormalPosition;
};
