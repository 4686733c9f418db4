// kestrel4-sim: plays the devices the centre talks to.
#include "sim/base_player.h"
#include "sim/dc09_command.h"
#include "sim/far_base.h"
#include "sim/module_player.h"
#include "sim/udp_player.h"

#include <atomic>

#include <csignal>
#include <cstdio>
#include <unistd.h>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

void usage(std::ostream& out) {
    out << "kestrel4-sim base --link ŚCIEŻKA [--scenario PLIK] [--interval MS] [--loops N] [--wait-open S]\n"
           "                  [--answer-timeout MS] [--line-speed BODY] [--quiet] [--repeat N]\n"
           "  Baza odbiorcza na linii szeregowej: tworzy parę pseudoterminali, wystawia koniec\n"
           "  stacji pod ŚCIEŻKĄ (dowiązanie) i odtwarza scenariusz (plik albo wejście),\n"
           "  sprawdzając odpowiedź stacji na każdą ramkę. Kroki scenariusza:\n"
           "    report ABONENT KOD [PODSYSTEM [SEKTOR]] [phone CYFRY] [time YYMMDDhhmmss|now]\n"
           "    badsum ...   ta sama ramka ze złą sumą kontrolną\n"
           "    test | filler | frame HEX... | raw HEX... | noise N | wait SEKUNDY | loop\n"
           "  --interval: przerwa po każdym kroku (0: następna ramka zaraz po odpowiedzi);\n"
           "  --answer-timeout: jak długo czekać na każdy bajt odpowiedzi (domyślnie 2000 ms);\n"
           "  --line-speed: bajty wychodzą z szybkością linii 8E1 (np. 9600), nie naraz;\n"
           "  --quiet: wypisuje tylko ramki z niezgodną odpowiedzią.\n"
           "  --repeat N: ramkę nieprzyjętą baza trzyma i wysyła ponownie, do N razy.\n"
           "  Kod, podsystem i sektor szesnastkowo, abonent dziesiętnie. Wynik: liczba ramek\n"
           "  przyjętych zgodnie z oczekiwaniem; kod wyjścia 1, gdy któraś była niezgodna.\n"
           "\n"
           "kestrel4-sim modules --interface ŚCIEŻKA --data ŚCIEŻKA [--scenario PLIK] [--linger S]\n"
           "  Magistrala pakietów: dwie pary pseudoterminali (port interfejsu i port danych)\n"
           "  i do siedmiu pakietów w gniazdach. Kroki scenariusza:\n"
           "    module GNIAZDO RODZAJ                 pakiet (10 20 30 40 50 60 70 80 90 A0 B0)\n"
           "    answers|silent GNIAZDO ABONENT [phone CYFRY]   kto odpowiada na badanie\n"
           "    report GNIAZDO ABONENT KOD [PODSYSTEM [SEKTOR]] [phone CYFRY] [badsum]\n"
           "    call GNIAZDO CYFRY | linefault GNIAZDO N | garbage GNIAZDO N | wait SEKUNDY\n"
           "    refuse GNIAZDO N        następne N rozkazów (i przesłań) nie przyjęte (status 00)\n"
           "    deaf GNIAZDO            pakiet przestaje odpowiadać\n"
           "    partner GNIAZDO ADRES [silent]   baza innego centrum o adresie radiowym ADRES\n"
           "                            potwierdza każdy przesłany do niej alarm (silent: nigdy);\n"
           "                            w pakiecie GSM (90) zamiast adresu 9 cyfr numeru GSM bazy\n"
           "  Po ostatnim kroku magistrala jest obsługiwana jeszcze --linger sekund (5).\n"
           "  Wynik: wymiany zgodne i niezgodne; kod wyjścia 1, gdy któraś była niezgodna.\n"
           "\n"
           "kestrel4-sim farbase --link ŚCIEŻKA [--refuse | --silent] [--seconds S]\n"
           "  Baza odbiorcza innego centrum na linii szeregowej: przyjmuje ramki, które centrum\n"
           "  nadawcze przesyła (alarmy i ramki testu), i odpowiada LF CR; --refuse: SO CR,\n"
           "  --silent: nic. Bez --seconds pracuje do Ctrl+C. Wynik: ramki przyjęte, w tym\n"
           "  przesłane alarmy i testy; kod wyjścia 1 po ramce ze złą sumą.\n"
           "kestrel4-sim udp [--station ADRES] [--ports TEKST,VGPRS,ETHERNET] [--scenario PLIK]\n"
           "                 [--answer-timeout MS] [--linger S] [--quiet]\n"
           "  Bazy ethernetowe i nadajniki torów Ethernet i vGPRS: każde urządzenie ma gniazdo\n"
           "  na swoim adresie i porcie kanału. Kroki scenariusza:\n"
           "    base N ADRES RODZAJ          baza wiersza N tabeli IP, odpowiada RODZAJEM (hex)\n"
           "    silent N                     baza N przestaje odpowiadać na polecenia\n"
           "    message N SEKW TEKST         \"$SEKW TEKST#\" z bazy N, oczekiwane \"$SEKW#\"\n"
           "    confirm N SEKW TEKST         to samo z polem g typu 08: potem potwierdzenie centrum\n"
           "    keepalive eth|gprs ADRES ABONENT\n"
           "    report|confirmed eth|gprs ADRES ABONENT KOD [PODSYSTEM [SEKTOR]]\n"
           "    status eth|gprs ADRES ABONENT PODSYSTEM | wait SEKUNDY\n"
           "  Porty jak KESTREL4_UDP_PORTS stacji (domyślnie 7024,1024,8024); stacja domyślnie\n"
           "  pod 127.0.0.1. Wynik: odpowiedzi zgodne i niezgodne; kod wyjścia 1 przy niezgodnej.\n";
    k4::sim::dc09Usage(out);
}

std::atomic<bool> stopUdp{false};

extern "C" void stopUdpPlay(int) { stopUdp = true; }

int runUdp(int argc, char** argv) {
    std::string scenarioPath;
    k4::sim::UdpPlayOptions options;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--station") options.station = value();
        else if (arg == "--scenario") scenarioPath = value();
        else if (arg == "--answer-timeout") options.answerTimeoutMs = std::stoi(value());
        else if (arg == "--linger") options.lingerSeconds = std::stod(value());
        else if (arg == "--quiet") options.quiet = true;
        else if (arg == "--ports") {
            unsigned t = 0, v = 0, e = 0;
            if (std::sscanf(value().c_str(), "%u,%u,%u", &t, &v, &e) != 3 || !t || !v || !e || t > 65535 ||
                v > 65535 || e > 65535) {
                std::cerr << "kestrel4-sim udp: --ports TEKST,VGPRS,ETHERNET\n";
                return 2;
            }
            options.ports = {static_cast<uint16_t>(t), static_cast<uint16_t>(v), static_cast<uint16_t>(e)};
        } else if (arg == "--help") {
            usage(std::cout);
            return 0;
        } else {
            std::cerr << "kestrel4-sim udp: nieznany argument " << arg << '\n';
            return 2;
        }
    }
    std::string error;
    std::optional<std::vector<k4::sim::UdpStep>> steps;
    if (scenarioPath.empty()) {
        steps = k4::sim::parseUdpScenario(std::cin, error);
    } else {
        std::ifstream file(scenarioPath);
        if (!file) {
            std::cerr << "kestrel4-sim udp: nie można otworzyć " << scenarioPath << '\n';
            return 1;
        }
        steps = k4::sim::parseUdpScenario(file, error);
    }
    if (!steps) {
        std::cerr << "kestrel4-sim udp: " << error << '\n';
        return 2;
    }
    std::signal(SIGINT, stopUdpPlay);
    std::signal(SIGTERM, stopUdpPlay);
    options.stop = &stopUdp;
    const auto result = k4::sim::playUdpScenario(*steps, options, std::cout);
    std::cout << result.passed << " passed, " << result.failed << " failed (" << result.probes << " probes, "
              << result.commands << " commands answered)" << std::endl;
    return result.failed == 0 ? 0 : 1;
}

std::atomic<bool> stopModules{false};

extern "C" void stopModulesPlay(int) { stopModules = true; }

int runModules(int argc, char** argv) {
    std::string interfacePath, dataPath, scenarioPath;
    k4::sim::ModulePlayOptions options;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--interface") interfacePath = value();
        else if (arg == "--data") dataPath = value();
        else if (arg == "--scenario") scenarioPath = value();
        else if (arg == "--linger") options.lingerSeconds = std::stod(value());
        else if (arg == "--help") {
            usage(std::cout);
            return 0;
        } else {
            std::cerr << "kestrel4-sim modules: nieznany argument " << arg << '\n';
            return 2;
        }
    }
    if (interfacePath.empty() || dataPath.empty()) {
        std::cerr << "kestrel4-sim modules: podaj --interface ŚCIEŻKA i --data ŚCIEŻKA\n";
        return 2;
    }
    std::string error;
    std::optional<k4::sim::ModuleScenario> scenario;
    if (scenarioPath.empty()) {
        scenario = k4::sim::parseModuleScenario(std::cin, error);
    } else {
        std::ifstream file(scenarioPath);
        if (!file) {
            std::cerr << "kestrel4-sim modules: nie można otworzyć " << scenarioPath << '\n';
            return 1;
        }
        scenario = k4::sim::parseModuleScenario(file, error);
    }
    if (!scenario) {
        std::cerr << "kestrel4-sim modules: " << error << '\n';
        return 2;
    }
    k4::sim::PtyLink interfaceLink, dataLink;
    if (!interfaceLink.create(interfacePath, error) || !dataLink.create(dataPath, error)) {
        std::cerr << "kestrel4-sim modules: " << error << '\n';
        return 1;
    }
    // Ended by a signal the links go with the objects and the summary is
    // still printed.
    std::signal(SIGINT, stopModulesPlay);
    std::signal(SIGTERM, stopModulesPlay);
    options.stop = &stopModules;
    std::cout << "interfejs: " << interfacePath << " -> " << interfaceLink.stationEnd() << "\n"
              << "dane: " << dataPath << " -> " << dataLink.stationEnd() << std::endl;
    for (size_t s = 0; s < scenario->modules.size(); ++s)
        if (scenario->modules[s])
            std::cout << "gniazdo " << s + 1 << ": " << k4::sim::simKindName(scenario->modules[s]->kind) << std::endl;
    const auto result = k4::sim::playModuleScenario(interfaceLink, dataLink, *scenario, options, std::cout);
    std::cout << result.passed << " passed, " << result.failed << " failed (" << result.reports
              << " reports accepted, " << result.orders << " orders, " << result.polls << " polls)" << std::endl;
    return result.failed == 0 ? 0 : 1;
}

// Stopped with Ctrl+C or by the demo: the published link must not outlive us.
char linkToRemove[4096];

extern "C" void removeLinkAndExit(int) {
    if (linkToRemove[0]) ::unlink(linkToRemove);
    ::_exit(130);
}

int runBase(int argc, char** argv) {
    std::string linkPath, scenarioPath;
    k4::sim::PlayOptions options;
    double waitOpen = 0;
    int lineSpeed = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--link") linkPath = value();
        else if (arg == "--scenario") scenarioPath = value();
        else if (arg == "--interval") options.intervalMs = std::stoi(value());
        else if (arg == "--loops") options.loops = std::stoi(value());
        else if (arg == "--wait-open") waitOpen = std::stod(value());
        else if (arg == "--answer-timeout") options.answerTimeoutMs = std::stoi(value());
        else if (arg == "--line-speed") lineSpeed = std::stoi(value());
        else if (arg == "--quiet") options.quiet = true;
        else if (arg == "--repeat") options.repeats = std::stoi(value());
        else if (arg == "--help") {
            usage(std::cout);
            return 0;
        } else {
            std::cerr << "kestrel4-sim base: nieznany argument " << arg << '\n';
            return 2;
        }
    }
    if (linkPath.empty()) {
        std::cerr << "kestrel4-sim base: podaj --link ŚCIEŻKA\n";
        return 2;
    }
    std::string error;
    std::optional<std::vector<k4::sim::BaseStep>> steps;
    if (scenarioPath.empty()) {
        steps = k4::sim::parseBaseScenario(std::cin, error);
    } else {
        std::ifstream file(scenarioPath);
        if (!file) {
            std::cerr << "kestrel4-sim base: nie można otworzyć " << scenarioPath << '\n';
            return 1;
        }
        steps = k4::sim::parseBaseScenario(file, error);
    }
    if (!steps) {
        std::cerr << "kestrel4-sim base: " << error << '\n';
        return 2;
    }
    k4::sim::PtyLink link;
    if (!link.create(linkPath, error)) {
        std::cerr << "kestrel4-sim base: " << error << '\n';
        return 1;
    }
    link.setLineSpeed(lineSpeed);
    std::snprintf(linkToRemove, sizeof linkToRemove, "%s", linkPath.c_str());
    std::signal(SIGINT, removeLinkAndExit);
    std::signal(SIGTERM, removeLinkAndExit);
    std::cout << "baza: " << linkPath << " -> " << link.stationEnd() << std::endl;
    if (waitOpen > 0) std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(waitOpen * 1000)));
    const auto result = k4::sim::playBaseScenario(link, *steps, options, std::cout);
    std::cout << result.asExpected << " passed, " << result.failed << " failed, " << result.accepted
              << " accepted of " << result.frames << " frames (" << result.sends << " sent)" << std::endl;
    return result.failed == 0 ? 0 : 1;
}

std::atomic<bool> stopFarBase{false};

extern "C" void stopFarBasePlay(int) { stopFarBase = true; }

int runFarBase(int argc, char** argv) {
    std::string linkPath;
    k4::sim::FarBaseAnswer answer = k4::sim::FarBaseAnswer::Accept;
    double seconds = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--link" && i + 1 < argc) linkPath = argv[++i];
        else if (arg == "--refuse") answer = k4::sim::FarBaseAnswer::Refuse;
        else if (arg == "--silent") answer = k4::sim::FarBaseAnswer::Silent;
        else if (arg == "--seconds" && i + 1 < argc) seconds = std::stod(argv[++i]);
        else if (arg == "--help") {
            usage(std::cout);
            return 0;
        } else {
            std::cerr << "kestrel4-sim farbase: nieznany argument " << arg << '\n';
            return 2;
        }
    }
    if (linkPath.empty()) {
        std::cerr << "kestrel4-sim farbase: podaj --link ŚCIEŻKA\n";
        return 2;
    }
    std::string error;
    k4::sim::PtyLink link;
    if (!link.create(linkPath, error)) {
        std::cerr << "kestrel4-sim farbase: " << error << '\n';
        return 1;
    }
    std::signal(SIGINT, stopFarBasePlay);
    std::signal(SIGTERM, stopFarBasePlay);
    std::cout << "baza innego centrum: " << linkPath << " -> " << link.stationEnd() << std::endl;
    const auto result = k4::sim::playFarBase(link, answer, seconds, &stopFarBase, std::cout);
    std::cout << result.frames << " frames (" << result.forwards << " forwarded alarms, " << result.tests
              << " tests), " << result.badFrames << " bad" << std::endl;
    return result.badFrames == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        usage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "base") == 0) return runBase(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "modules") == 0) return runModules(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "farbase") == 0) return runFarBase(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "udp") == 0) return runUdp(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "dc09") == 0) return k4::sim::runDc09Command(argc - 2, argv + 2, std::cout, std::cerr);
    std::cerr << "kestrel4-sim: nieznane urządzenie " << argv[1] << " (są: base, modules, farbase, udp, dc09)\n";
    return 2;
}
