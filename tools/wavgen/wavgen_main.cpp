// kestrel4-wavgen DIR: writes the station's own alarm sounds (alarm00.wav ...
// alarm15.wav) into DIR and a "sounds" file that names them. A fresh
// installation has them already; this puts them back after a technician
// has replaced or deleted them.
#include "platform/data_dir.h"
#include "platform/single_instance.h"
#include "signals/default_sounds.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "użycie: kestrel4-wavgen KATALOG\n"
                             "  Zapisuje w KATALOGU dźwięki alarmów alarm00.wav ... alarm15.wav\n"
                             "  i plik sounds, który je wskazuje.\n");
        return argc == 2 ? 0 : 2;
    }
    // "sounds" is one of the station's files: never written under a
    // running station's feet.
    k4::SingleInstance lock(k4::DataDir(argv[1]).file("Kestrel4.lock"));
    if (!lock.acquire()) {
        if (lock.refusal() == k4::SingleInstance::Refusal::HeldByAnother)
            std::fprintf(stderr, "kestrel4-wavgen: Stacja pracuje na tym katalogu - zatrzymaj ją najpierw (%s); "
                                 "nic nie zostało zmienione\n", argv[1]);
        else
            std::fprintf(stderr, "kestrel4-wavgen: Nie można założyć blokady %s: %s\n", lock.path().c_str(),
                         lock.reason().c_str());
        return 1;
    }
    std::string error;
    if (!k4::writeDefaultSounds(argv[1], error)) {
        std::fprintf(stderr, "kestrel4-wavgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
