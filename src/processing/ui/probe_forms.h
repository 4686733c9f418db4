#pragma once
// "Okresy między badaniami" (the periods between probes) and "Wyłączenie
// badań" (probing of each probing module on or off).
#include "processing/probe_periods.h"

#include <QDialog>

#include <array>
#include <vector>

class QCheckBox;
class QLineEdit;

namespace k4 {

class Config;
class HistoryLog;
class Messages;
class PathTable;
class PathTypeTable;

class TOkresy : public QDialog {
    Q_OBJECT
public:
    TOkresy(Config& config, PathTypeTable& types, HistoryLog& history, Messages& messages, QWidget* parent = nullptr);
    // "&Zapisz": a value below its minimum is told and the dialog stays.
    void ZapiszClick();
    QLineEdit* field(int i) { return fields_[static_cast<size_t>(i)]; }
    QCheckBox* irregular() { return Rand; }

private:
    Config& config_;
    PathTypeTable& types_;
    HistoryLog& history_;
    Messages& messages_;
    std::array<QLineEdit*, 8> fields_{};
    QCheckBox* Rand;
};

class TNoCheck : public QDialog {
    Q_OBJECT
public:
    TNoCheck(PathTable& paths, QWidget* parent = nullptr);
    // "&Ustaw": every changed module switched.
    void UstawClick();
    int count() const { return static_cast<int>(boxes_.size()); }
    QCheckBox* box(int i) { return boxes_[static_cast<size_t>(i)].second; }
    // The hidden list: test control of the same modules.
    QCheckBox* testBox(int i) { return testBoxes_[static_cast<size_t>(i)].second; }

private:
    PathTable& paths_;
    std::vector<std::pair<int, QCheckBox*>> boxes_; // slot, box
    std::vector<std::pair<int, QCheckBox*>> testBoxes_;
};

} // namespace k4
