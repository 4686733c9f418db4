// The events a fresh centre knows: the Contact ID families that panels send
// (a restore or closing is the code with 0x800 added, as the receivers pass
// the event qualifier on), and the centre's own events at 0xFxx, where no
// panel code lies.
#include "admin/event_defaults.h"

namespace k4::admin {

namespace {

// Colour classes of the fresh table: 0 a plain report (no alarm).
enum : int {
    kReport = 0,
    kFire = 4,
    kTamper = 5,
    kArmingFault = 6,
    kProbeFault = 8,
    kMissingTest = 9,
    kMedical = 11,
    kBurglary = 12,
    kHoldUp = 13,
    kTrouble = 14,
};

struct Row {
    int code;
    const char* shortName;
    const char* fullName;
    int colour;
    int kind;
};

const Row kRows[] = {
    {0x100, "MEDYCZNY", "Alarm medyczny", kMedical, 0},
    {0x110, "POŻAR", "Alarm pożarowy", kFire, kEventFire},
    {0x111, "DYM", "Czujka dymu", kFire, kEventFire},
    {0x114, "TEMP.POŻ", "Czujka temperatury", kFire, kEventFire},
    {0x115, "ROP", "Ręczny ostrzegacz pożarowy", kFire, kEventFire},
    {0x120, "NAPAD", "Alarm napadowy", kHoldUp, 0},
    {0x121, "PRZYMUS", "Napad - kod pod przymusem", kHoldUp, 0},
    {0x122, "NAPAD C", "Napad cichy", kHoldUp, 0},
    {0x130, "WŁAMANIE", "Włamanie", kBurglary, 0},
    {0x131, "OBWÓD", "Włamanie - obwód zewnętrzny", kBurglary, 0},
    {0x132, "WNĘTRZE", "Włamanie - strefa wewnętrzna", kBurglary, 0},
    {0x133, "24H", "Włamanie - strefa 24h", kBurglary, 0},
    {0x134, "WEJ/WYJ", "Włamanie - wejście/wyjście", kBurglary, 0},
    {0x137, "SABOTAŻ", "Sabotaż centrali", kTamper, 0},
    {0x139, "WŁAM.POT", "Włamanie potwierdzone", kBurglary, 0},
    {0x144, "SAB.CZUJ", "Sabotaż czujki", kTamper, 0},
    {0x151, "GAZ", "Wykrycie gazu", kTrouble, 0},
    {0x154, "ZALANIE", "Zalanie", kTrouble, 0},
    {0x158, "TEMP.WYS", "Wysoka temperatura", kTrouble, 0},
    {0x301, "BRAK 230", "Brak zasilania 230 V", kTrouble, 0},
    {0x302, "AKUMUL.", "Słaby akumulator", kTrouble, 0},
    {0x305, "RESTART", "Restart centrali", kReport, 0},
    {0x321, "SYRENA", "Usterka sygnalizatora", kTrouble, 0},
    {0x333, "MODUŁ", "Usterka modułu rozszerzeń", kTrouble, 0},
    {0x344, "ZAGŁUSZ", "Zagłuszanie radiowe", kTrouble, 0},
    {0x350, "KOMUNIK.", "Usterka komunikacji", kTrouble, 0},
    {0x373, "US.POŻ.", "Usterka linii pożarowej", kTrouble, 0},
    {0x384, "BAT.RAD", "Słaba bateria czujki radiowej", kTrouble, 0},
    {0x401, "WYŁĄCZ.", "Wyłączenie czuwania", kReport, kEventDisarming},
    {0x403, "AUTO WYŁ", "Automatyczne wyłączenie", kReport, kEventDisarming},
    {0x406, "ANULOW.", "Anulowanie alarmu", kReport, 0},
    {0x407, "WYŁ.ZDAL", "Wyłączenie zdalne", kReport, kEventDisarming},
    {0x409, "WYŁ.KLUC", "Wyłączenie stacyjką", kReport, kEventDisarming},
    {0x570, "BLOKADA", "Zablokowanie czujki", kReport, 0},
    {0x601, "TEST UŻ.", "Test ręczny użytkownika", kReport, 0},
    {0x602, "TEST OKR", "Test okresowy", kReport, 0},
    {0x607, "TEST CH.", "Test chodzony", kReport, 0},
    {0x627, "SERWIS", "Wejście w tryb serwisowy", kReport, 0},
    {0x628, "SERW.KON", "Wyjście z trybu serwisowego", kReport, 0},
    {0x6F0, "BADANIE", "Odpowiedź na badanie", kReport, 0},
    {0x6F1, "TEST ZAŁ", "Test załączeniowy", kReport, 0},
    {0x900, "KON.MED.", "Koniec alarmu medycznego", kReport, 0},
    {0x910, "KON.POŻ.", "Koniec alarmu pożarowego", kReport, 0},
    {0x911, "DYM OK", "Czujka dymu - powrót", kReport, 0},
    {0x920, "KON.NAP.", "Koniec alarmu napadowego", kReport, 0},
    {0x930, "KON.WŁAM", "Koniec włamania", kReport, 0},
    {0x931, "OBWÓD OK", "Powrót obwodu zewnętrznego", kReport, 0},
    {0x932, "WNĘTR.OK", "Powrót strefy wewnętrznej", kReport, 0},
    {0x934, "WE/WY OK", "Powrót strefy wejścia/wyjścia", kReport, 0},
    {0x937, "KON.SAB.", "Koniec sabotażu centrali", kReport, 0},
    {0x944, "KON.SABC", "Koniec sabotażu czujki", kReport, 0},
    {0x951, "GAZ OK", "Koniec wykrycia gazu", kReport, 0},
    {0x954, "ZAL.OK", "Koniec zalania", kReport, 0},
    {0xB01, "230 OK", "Powrót zasilania 230 V", kReport, 0},
    {0xB02, "AKUM.OK", "Akumulator naładowany", kReport, 0},
    {0xB21, "SYR.OK", "Sygnalizator sprawny", kReport, 0},
    {0xB50, "KOM.OK", "Komunikacja przywrócona", kReport, 0},
    {0xC01, "ZAŁĄCZ.", "Załączenie czuwania", kReport, kEventArming},
    {0xC03, "AUTO ZAŁ", "Automatyczne załączenie", kReport, kEventArming},
    {0xC07, "ZAŁ.ZDAL", "Załączenie zdalne", kReport, kEventArming},
    {0xC09, "ZAŁ.KLUC", "Załączenie stacyjką", kReport, kEventArming},
    {0xD70, "ODBLOK.", "Odblokowanie czujki", kReport, 0},
    {0xF01, "BRAK TST", "Brak testu", kMissingTest, 0},
    {0xF02, "ZAŁ.PRZ.", "Załączenie przed czasem", kArmingFault, 0},
    {0xF03, "BRAK ZAŁ", "Brak załączenia", kArmingFault, 0},
    {0xF07, "BRAK ODP", "Brak odpowiedzi na badanie", kProbeFault, 0},
    {0xF08, "BŁ.WYŁ.", "Błędne wyłączenie", kArmingFault, 0},
    {0xF09, "LICZNIK", "Licznik alarmów przekroczony", kHoldUp, 0},
};

} // namespace

// In the order of the configuration's captions: "BRAK TESTU", "ZAŁ. PRZED
// CZASEM", "BRAK ZAŁĄCZENIA", "TEST UŻYTKOWNIKA", "ODP. NA BADANIE", "TEST
// OKRESOWY", "TEST ZAŁĄCZENIOWY", "BRAK ODP. NA T.M.", "BŁĘDNE WYŁĄCZENIE",
// "LICZNIK ALARMÓW".
const int kFreshSpecialCodes[kSpecialCodes] = {0xF01, 0xF02, 0xF03, 0x601, 0x6F0, 0x602, 0x6F1, 0xF07, 0xF08, 0xF09};

std::vector<EventDef> freshEventDefinitions() {
    std::vector<EventDef> defs;
    for (const Row& r : kRows) defs.push_back(makeEventDef(r.code, r.shortName, r.fullName, r.colour, r.kind));
    return defs;
}

} // namespace k4::admin
