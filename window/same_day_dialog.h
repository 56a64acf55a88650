#pragma once
// "過去の同じ日": the entries written on the selected day's month and day in other years,
// newest first, one row each with the date and its weekday, the 文字数 and the first line.
// Enter or a double-click chooses a row.
#include "calendar/julius.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <vector>

class QTreeWidget;

struct TSameDayRow {
    TYMD day;
    std::int64_t chars = -1;  // -1: the file could not be read
    QString firstLine;        // or why the file could not be read
};

class TSameDayDialog : public QDialog {
public:
    TSameDayDialog(QWidget* parent, const TYMD& selected, const std::vector<TSameDayRow>& rows);

    // The day chosen, once the dialog was accepted.
    std::optional<TYMD> Chosen() const { return chosen_; }

    QTreeWidget* List = nullptr;

private:
    void Choose();

    std::vector<TSameDayRow> rows_;
    std::optional<TYMD> chosen_;
};
