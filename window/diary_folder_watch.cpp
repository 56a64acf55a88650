#include "window/diary_folder_watch.h"

TDiaryFolderWatch::TDiaryFolderWatch(const QString& folder, std::function<void()> changed, QObject* parent)
    : QObject(parent), changed_(std::move(changed)) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] { changed_(); });
    // The first change of a burst starts the wait and later ones ride along: a folder that
    // never stops changing is still listed every kSettleMs.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!settle_.isActive()) settle_.start();
    });
    if (!watcher_.addPath(folder)) {
        connect(&poll_, &QTimer::timeout, this, [this] { changed_(); });
        poll_.start(kPollMs);
    }
}
