#pragma once
// Tells when files of the diary folder appear, go or are renamed, by another program as
// much as by this one. A burst of changes (a sync tool writing a hundred files, a save's
// temporary file and rename) is told once, a moment after it began; what changed is for
// the listener to find out from one listing of the folder.
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>

class TDiaryFolderWatch : public QObject {
public:
    static constexpr int kSettleMs = 200;
    // When the system will not watch the folder (its watches are all taken), the folder is
    // listed this often instead.
    static constexpr int kPollMs = 1000;

    TDiaryFolderWatch(const QString& folder, std::function<void()> changed, QObject* parent = nullptr);

private:
    QFileSystemWatcher watcher_;
    QTimer settle_;
    QTimer poll_;
    std::function<void()> changed_;
};
