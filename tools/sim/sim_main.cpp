// kestrel4-sim: plays the devices the centre talks to. The receiving base on
// a serial line comes with the station's base link; until then the
// simulator only says what it will offer.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--help") != 0) {
        std::fprintf(stderr, "kestrel4-sim: urządzenie \"%s\" nie jest jeszcze dostępne\n", argv[1]);
        return 2;
    }
    std::printf("kestrel4-sim URZĄDZENIE ...\n"
                "  Symulator urządzeń centrum. Pierwsze urządzenie (base: baza odbiorcza na\n"
                "  linii szeregowej) przybywa razem z łączem bazy stacji.\n");
    return argc > 1 ? 0 : 2;
}
