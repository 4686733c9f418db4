#pragma once
// "Historia": the entries of the history or of an archive as their text
// lines, narrowed by the filter; printing, the reduced printout, the text
// file, the month's archive and cutting before a date. The list asks the
// paged list only for the lines on screen.
#include "history/history_log.h"
#include "history/history_output.h"
#include "history/plog_list.h"

#include <QAbstractListModel>
#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QListView;
class QPushButton;

namespace k4 {

class Printing;

struct HistoryWindowParts {
    File* file = nullptr;        // the history shown; stays the caller's
    HistoryLog* log = nullptr;   // the station's: "&Zapisz" and "&Usuń" only over "logf"
    Messages* messages = nullptr;
    const Clock* clock = nullptr;
    FilterKnowledge knowledge;
    std::array<int, 10> specialCodes{};
    std::function<std::string(const HistoryEntry&)> format; // Mazovia, no line end
    Printing* printing = nullptr;
    std::function<ReducedPrintSubscriber(int number)> subscriberOf;
    std::function<std::optional<int>(const std::string& code)> operatorOfCode;
    std::vector<QString> serviceSteps;
    std::string dataDir;      // where "log_txt.tmp" is made
    int subscriber = -1;      // the window opened for one subscriber
    // The subscriber card in history mode; true when it was left with
    // "&Historia" (the list then narrows to that subscriber).
    std::function<bool(int subscriber)> openSubscriber;
    // The system kinds to pick from in the filter (three hex digits).
    std::function<QString()> pickSystemKind;
};

class HistoryListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    HistoryListModel(PLogList& list, std::function<std::string(const HistoryEntry&)> format, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void reload();

private:
    PLogList& list_;
    std::function<std::string(const HistoryEntry&)> format_;
    int rows_ = 0;
};

class THistory : public QDialog {
    Q_OBJECT
public:
    THistory(HistoryWindowParts parts, QWidget* parent = nullptr);
    ~THistory() override;

    PLogList& list() { return list_; }
    // The filter applied: the list recounted, "Znaleziono %d pozycji" when
    // asked for.
    void applyFilter(const HistFilter& filter, bool tellCount);
    int count() const { return list_.count(); }
    // Line i as shown (UTF-8, the red marks' "~" left out).
    QString line(int i);

    void FiltrClick();
    void WydrukClick();
    void WydrukAClick();
    void PlikTxtClick();
    void ZapiszClick();
    void UsunClick();
    // "&Usuń" with the day chosen.
    void deleteBefore(const LocalDateTime& day);
    void ListDblClick(int row);

    QListView* List;
    QPushButton* Zapisz;
    QPushButton* Usun;

protected:
    // The space key on a line does what a double click does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void print(bool reduced);

    HistoryWindowParts parts_;
    PLogList list_;
    HistoryListModel* model_;
};

// The date dialog "Usuń do daty"; nothing when cancelled.
std::optional<LocalDateTime> askDeleteDate(const LocalDateTime& today, QWidget* parent);

} // namespace k4
