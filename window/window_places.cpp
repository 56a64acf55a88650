#include "window/window_places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

TPlacesInput WindowPlacesInput() {
    TPlacesInput in;
    in.programDir = QCoreApplication::applicationDirPath().toStdString();
    in.programDirWritable = QFileInfo(QCoreApplication::applicationDirPath()).isWritable();
    in.installed = LooksInstalled(in.programDir);
    in.configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
    in.homeDir = QDir::homePath().toStdString();
    in.currentDir = QDir::currentPath().toStdString();
    return in;
}
