#include "sim/dc09_command.h"

#include "sim/dc09_player.h"
#include "sim/dc09_soak.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace k4::sim {

namespace {

std::atomic<bool> stopDc09{false};

extern "C" void stopDc09Play(int) { stopDc09 = true; }

bool number(const std::string& text, int low, int high, int& out) {
    try {
        size_t used = 0;
        const long v = std::stol(text, &used);
        if (used != text.size() || v < low || v > high) return false;
        out = static_cast<int>(v);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

void dc09Usage(std::ostream& out) {
    out << "kestrel4-sim dc09 [--station ADRES] [--port N] [--source ADRES] [--scenario PLIK]\n"
           "                  [--answer-timeout MS] [--quiet]\n"
           "kestrel4-sim dc09 --panels N --messages M [--first-account N] [--udp-every K]\n"
           "                  [--interval MS] [--per-address N] [--seconds S]\n"
           "  Centrale alarmowe IP (SIA DC-09) na TCP i UDP. Ze scenariusza (plik albo wejście)\n"
           "  wysyła ramki jawne i szyfrowane, dobre i uszkodzone, i sprawdza każdą odpowiedź:\n"
           "  sumę i długość, rodzaj (ACK, NAK, DUH), powtórzone sekwencję, odbiornik, linię\n"
           "  i konto, czas centrum w NAK i zaszyfrowaną odpowiedź na ramkę zaszyfrowaną.\n"
           "  Kroki scenariusza:\n"
           "    tcp | udp | reconnect       droga następnych ramek; nowe połączenie TCP\n"
           "    key KONTO KLUCZ|-           ramki konta szyfrowane kluczem AES (hex), - jawne\n"
           "    prefix ODBIORNIK|- LINIA|-  numery R i L następnych ramek\n"
           "    sia KONTO DANE [ZMIANY]     \"SIA-DCS\", np. sia 1234 Nri1/BA01\n"
           "    cid KONTO QEEE GG ZZZ [ZMIANY]   \"ADM-CID\", np. cid 1234 1130 01 015\n"
           "    null KONTO [ZMIANY]         \"NULL\", ramka nadzoru\n"
           "    kind NAZWA KONTO DANE [ZMIANY]   inny rodzaj (oczekiwany DUH)\n"
           "    wait SEKUNDY\n"
           "  ZMIANY: crc, length, late, early, nostamp, clear, wrongkey, seq NNNN,\n"
           "          expect ack|nak|duh|none (domyślnie ACK, NAK dla ramki uszkodzonej).\n"
           "  Port domyślnie z KESTREL4_DC09_PORT albo 7300, stacja 127.0.0.1.\n"
           "  --panels: N central naraz (konta i abonenci --first-account, 5000, i dalsze,\n"
           "  adresy 127.0.1.1... po --per-address, 50), każda wysyła M wiadomości \"BA\" ze\n"
           "  strefą 1..M i czeka na ACK każdej; co K-ta przez UDP. Wynik: ramki zgodne\n"
           "  i niezgodne, albo potwierdzone, powtórzone, stracone i czasy do ACK (p50, p99);\n"
           "  kod wyjścia 1, gdy któraś odpowiedź była niezgodna albo wiadomość stracona.\n";
}

int runDc09Command(int argc, char** argv, std::ostream& out, std::ostream& err) {
    Dc09PlayOptions play;
    Dc09SoakOptions soak;
    if (const char* env = std::getenv("KESTREL4_DC09_PORT")) {
        int port = 0;
        if (number(env, 1, 65535, port)) play.port = soak.port = static_cast<uint16_t>(port);
    }
    std::string scenarioPath;
    bool many = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        auto numberFor = [&](int low, int high, int& to) {
            if (number(value(), low, high, to)) return true;
            err << "kestrel4-sim dc09: " << arg << " wymaga liczby " << low << ".." << high << '\n';
            return false;
        };
        int n = 0;
        if (arg == "--station") play.station = soak.station = value();
        else if (arg == "--port") {
            if (!numberFor(1, 65535, n)) return 2;
            play.port = soak.port = static_cast<uint16_t>(n);
        } else if (arg == "--source") play.source = value();
        else if (arg == "--scenario") scenarioPath = value();
        else if (arg == "--answer-timeout") {
            if (!numberFor(1, 600000, n)) return 2;
            play.answerTimeoutMs = soak.answerTimeoutMs = n;
        } else if (arg == "--quiet") play.quiet = true;
        else if (arg == "--panels") {
            if (!numberFor(1, 100000, soak.panels)) return 2;
            many = true;
        } else if (arg == "--messages") {
            if (!numberFor(1, 9999, soak.messages)) return 2;
        } else if (arg == "--first-account") {
            if (!numberFor(100, 99999999, soak.firstAccount)) return 2;
        } else if (arg == "--udp-every") {
            if (!numberFor(0, 100000, soak.udpEvery)) return 2;
        } else if (arg == "--interval") {
            if (!numberFor(0, 600000, soak.intervalMs)) return 2;
        } else if (arg == "--per-address") {
            if (!numberFor(1, 100000, soak.panelsPerAddress)) return 2;
        } else if (arg == "--seconds") {
            if (!numberFor(1, 86400, soak.secondsLimit)) return 2;
        } else if (arg == "--help") {
            dc09Usage(out);
            return 0;
        } else {
            err << "kestrel4-sim dc09: nieznany argument " << arg << '\n';
            return 2;
        }
    }
    std::signal(SIGINT, stopDc09Play);
    std::signal(SIGTERM, stopDc09Play);
    play.stop = soak.stop = &stopDc09;

    if (many) {
        const Dc09SoakResult r = playDc09Soak(soak, out);
        char line[256];
        std::snprintf(line, sizeof line,
                      "%d panels, %lld of %lld messages acked in %.1f s (%.0f/s), %lld repeated, %lld NAK, "
                      "%lld wrong, %lld lost; ACK after p50 %.1f ms, p99 %.1f ms\n",
                      soak.panels, static_cast<long long>(r.acked), static_cast<long long>(soak.panels) * soak.messages,
                      r.seconds, r.seconds > 0 ? static_cast<double>(r.acked) / r.seconds : 0.0,
                      static_cast<long long>(r.repeated), static_cast<long long>(r.naks), static_cast<long long>(r.wrong),
                      static_cast<long long>(r.lost),
                      dc09Percentile(r.ackMs, 50), dc09Percentile(r.ackMs, 99));
        out << line << std::flush;
        return r.allAcked(soak) ? 0 : 1;
    }

    std::string error;
    std::optional<std::vector<Dc09Step>> steps;
    if (scenarioPath.empty()) {
        steps = parseDc09Scenario(std::cin, error);
    } else {
        std::ifstream file(scenarioPath);
        if (!file) {
            err << "kestrel4-sim dc09: nie można otworzyć " << scenarioPath << '\n';
            return 1;
        }
        steps = parseDc09Scenario(file, error);
    }
    if (!steps) {
        err << "kestrel4-sim dc09: " << error << '\n';
        return 2;
    }
    const Dc09PlayResult r = playDc09Scenario(*steps, play, out);
    out << r.passed << " passed, " << r.failed << " failed (" << r.acks << " ACK, " << r.naks << " NAK, " << r.duhs
        << " DUH)" << std::endl;
    return r.failed == 0 ? 0 : 1;
}

} // namespace k4::sim
