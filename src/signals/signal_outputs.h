#pragma once
// Everything the station says to the world besides its window: the alarm
// sounds, the two printers and the service for display programs. One object
// owns them for the run and joins them to the alarm list, the notices and the
// history.
//
// The sound back end comes from KESTREL4_SOUND: "files" (the default, one
// WAV file per category), "tones" (generated tones of the profiles) or
// "none".
#include "config/config_block.h"
#include "messages/messages.h"
#include "platform/data_dir.h"
#include "platform/print_spooler.h"
#include "printing/printing.h"
#include "processing/alarms_list.h"
#include "signals/alarm_sounds.h"
#include "signals/dde_service.h"
#include "signals/sound_files.h"
#include "signals/sound_player.h"

#include <memory>

namespace k4 {

class SignalOutputs {
public:
    enum class SoundKind { Files, Tones, None };
    static SoundKind soundKindFromEnvironment();

    // graphic: the printer driver of graphic listings (window builds only).
    SignalOutputs(const ConfigBlock& config, Messages& messages, AlarmsList& alarms, DataDir dir,
                  SoundKind sound, GraphicDocument* graphic = nullptr);
    ~SignalOutputs();
    SignalOutputs(const SignalOutputs&) = delete;
    SignalOutputs& operator=(const SignalOutputs&) = delete;

    // Where the history's event lines go to reach the event printer (a
    // headless station keeps its lines on standard output instead).
    EventLineSink& eventPrinter() { return eventPrinter_; }

    AlarmSounds& sounds() { return *sounds_; }
    SoundFiles& soundFiles() { return files_; }
    SoundPlayer& player() { return *player_; }
    Printing& printing() { return printing_; }
    DdeService& displayService() { return dde_; }

private:
    void tell(const std::string& what);

    Messages& messages_;
    AlarmsList& alarms_;
    SoundFiles files_;
    std::unique_ptr<SoundPlayer> player_;
    std::unique_ptr<AlarmSounds> sounds_;
    std::unique_ptr<PrintSpooler> spooler_;
    Printing printing_;
    EventPrinterSink eventPrinter_;
    DdeService dde_;
};

} // namespace k4
