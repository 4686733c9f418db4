#pragma once
// "Archiwalne pliki historii ": the archives of the data directory, shown
// in the history window, written out, brought back and removed.
#include "history/ui/history_form.h"

#include <QDialog>

#include <functional>
#include <string>

class QListWidget;

namespace k4 {

class THistFiles : public QDialog {
    Q_OBJECT
public:
    // parts: how a history window is made; its file and log are set here.
    THistFiles(HistoryLog& log, HistoryWindowParts parts, QWidget* parent = nullptr);

    void refresh();
    QString selected() const;
    void select(const QString& name);

    void PokazClick();
    void ZrzutClick();
    void OdzyskClick();
    void UsunClick();

    QListWidget* Files;

private:
    HistoryLog& log_;
    HistoryWindowParts parts_;
    DataDir dir_;
};

// "Archiwum": the archives of another directory; "&Wczytaj" copies the
// chosen one in.
class TArchHistForm : public QDialog {
    Q_OBJECT
public:
    TArchHistForm(const DataDir& dir, std::string source, Messages& messages, QWidget* parent = nullptr);
    void WczytajClick();
    QListWidget* Files;
    bool copied() const { return copied_; }

private:
    DataDir dir_;
    std::string source_;
    Messages& messages_;
    bool copied_ = false;
};

} // namespace k4
