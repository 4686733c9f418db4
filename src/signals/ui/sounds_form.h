#pragma once
// "Dźwięki": the 16 sound categories with their file (file back end) or
// tone profile (tone back end); a double-click plays the line and lets the
// operator change it. "Dźwięki alarmu": the seven bytes of one profile.
#include "config/config.h"
#include "messages/messages.h"
#include "signals/alarm_sounds.h"
#include "signals/sound_files.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace k4 {

constexpr int kHelpSounds = 1094;

class TSoundsForm : public QDialog {
    Q_OBJECT
public:
    // classColour: the alarm list's colour of a class, 0xRRGGBB.
    TSoundsForm(Config& config, SoundFiles& files, AlarmSoundControl& sounds, Messages& messages,
                bool filesBackEnd, std::string directory, std::function<uint32_t(int)> classColour,
                QWidget* parent = nullptr);

    QTreeWidget* list;
    QPushButton* Button1;

    // The chooser of a new file for a category; empty for none chosen. A
    // test replaces it.
    std::function<std::string(const QString& directory)> chooseFile;

    void lineDoubleClicked(int category);
    void Button1Click();
    void refill();

private:
    Config& config_;
    SoundFiles& files_;
    AlarmSoundControl& sounds_;
    Messages& messages_;
    bool filesBackEnd_;
    std::string directory_;
    std::function<uint32_t(int)> classColour_;
};

class TSoundForm : public QDialog {
    Q_OBJECT
public:
    TSoundForm(Config& config, Messages& messages, int category, QWidget* parent = nullptr);
    std::array<QLineEdit*, 7> fields{};
    QPushButton* SaveBtn;
    void SaveBtnClick();

private:
    Config& config_;
    Messages& messages_;
    int category_;
};

} // namespace k4
