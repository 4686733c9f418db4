#include "shell/start_warnings.h"

#include "config/config.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

void runStartWarnings(Config& config, Messages& messages) {
    ConfigBlock& block = config.block();
    const int mode = block.mode;
    if ((mode == 1 || mode == 2) && (block.options2 & (kOpt2BlockBase1Test | kOpt2BlockBase2Test)))
        messages.ShowNotice(mz("\x03" "UWAGA - Ustawiona blokada testu baz(y) - Testy odbioru"), kNoticeInfo);
    if (!(block.options & kOptNoIncompleteCheck)) return;
    if (messages.AskYesNo(mz("Sprawdzanie niepełnych meldunków jest zablokowane. \nW wypadku awarii centralki u "
                             "abonenta może to spowodować naliczanie dużych rachunków za telefon!\nZalecane jest "
                             "włączenie sprawdzania niepełnych meldunków. Włączyć?")) != kResultYes)
        return;
    block.options = static_cast<uint8_t>(block.options & ~kOptNoIncompleteCheck);
    if (config.SaveConfig(1) != 0) messages.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
}

} // namespace k4
