#pragma once
// The diary search window: words, exact matching and a period; one row per matching day,
// newest first, filled in while the search runs on a thread of its own, so that the
// window and the editor behind it never wait for it.
#include "calendar/julius.h"
#include "diary/diary_search.h"

#include <QWidget>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTimer;
class QTreeView;
class TTypingWatch;

class TSearchWindow : public QWidget {
public:
    explicit TSearchWindow(QWidget* parent = nullptr);
    ~TSearchWindow() override;

    QLineEdit* WordsEdit = nullptr;
    QCheckBox* ExactCheck = nullptr;
    QLineEdit* FromEdit = nullptr;
    QLineEdit* ToEdit = nullptr;
    QPushButton* SearchButton = nullptr;
    QPushButton* StopButton = nullptr;
    QProgressBar* Progress = nullptr;
    QLabel* StatusLabel = nullptr;
    QTreeView* Results = nullptr;

    // The diary folder searched; empty for the current folder.
    std::string Folder;

    // Starts a search with the window's fields, stopping one that runs.
    void Run();
    void Stop();
    bool Running() const { return worker_.joinable() && !finished_; }
    int RowCount() const;
    TYMD DayOfRow(int row) const;

    // Enter or a double-click on a row: the day and the words to select there.
    std::function<void(const TYMD& day, const QString& words, bool exact)> OnOpenDay;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Drain();
    void Finish();
    void OpenRow(int row);
    void AddRow(const TDaySearchResult& r);

    QStandardItemModel* model_ = nullptr;
    QTimer* drain_ = nullptr;
    TTypingWatch* typing_ = nullptr;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{true};
    std::mutex mutex_;
    std::deque<TDaySearchResult> pending_;
    TDiarySearchProgress progress_;
    TSearchQuery query_;
    QString words_;
    bool exact_ = false;
    int unreadable_ = 0;
};
