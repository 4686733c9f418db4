#include "shell/ui/help_pages.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QVariant>

#include <map>

namespace k4 {

namespace {

const char* const kGeneral =
    "<h2>Stanowisko operatora</h2>"
    "<p>Na liście alarmów po prawej stronie najnowszy alarm jest na górze. Podwójne kliknięcie, spacja lub F9 "
    "rozpoczyna obsługę wybranego alarmu. Po lewej stronie jest panel badania torów i lista blokad.</p>"
    "<p>Przed pracą zgłoś się: <b>System / Operator</b> i wpisz swój kod osobisty. Każdy Twój krok zapisuje "
    "się w historii pod Twoim nazwiskiem.</p>"
    "<p>F1 w każdym oknie pokazuje pomoc do tego okna.</p>";

const char* const kAlarmService =
    "<h2>Obsługa alarmu</h2>"
    "<ol><li>Wybierz alarm z listy i naciśnij Enter, spację lub F9 (albo kliknij dwukrotnie).</li>"
    "<li>Podaj swój kod osobisty, jeśli stanowisko o to prosi.</li>"
    "<li>Przeczytaj opis obiektu i wykonaj kolejne kroki obsługi, każdy krok zatwierdzając.</li>"
    "<li>Zakończ obsługę: alarm znika z listy, a jego zakończenie trafia do historii.</li></ol>"
    "<p>Spacja wycisza dźwięk alarmu. Alarm w obsłudze nie wraca na listę.</p>";

const char* const kBlockades =
    "<h2>Blokady</h2>"
    "<p>Blokada wstrzymuje alarmy abonenta (albo jego strefy lub linii) na czas prac serwisowych. "
    "<b>Blokady / Obiekt</b>: znajdź abonenta i ustaw rodzaj oraz czas blokady. Zablokowane meldunki nadal "
    "trafiają do historii z oznaczeniem BLOKADA.</p>"
    "<p>Na liście blokad po lewej stronie podwójne kliknięcie lub spacja zdejmuje blokadę.</p>";

const char* const kSearch =
    "<h2>Szukanie abonenta</h2>"
    "<p>W oknie „Znajdź abonenta” wpisz numer abonenta, początek nazwy, hasło albo numer telefonu i naciśnij "
    "Enter. Z listy znalezionych wybierz abonenta strzałkami i zatwierdź Enterem; Escape kończy bez wyboru.</p>";

const char* const kSupervisor =
    "<h2>Tryb nadzoru</h2>"
    "<p><b>Nadzór</b> pyta o hasło nadzoru. Po poprawnym haśle widać menu <b>Nadzorowane</b> (operatorzy, "
    "hasło, konfiguracja, indeksy) i odblokowane są wszystkie polecenia. Wejście i wyjście zapisują się w "
    "historii.</p>"
    "<p><b>Nadzorowane / Zabezpiecz</b> kończy tryb nadzoru i przywraca ograniczenia menu. Gdy baza jest "
    "edytowana zdalnie, trybu nadzoru nie da się włączyć.</p>";

const char* const kOperators =
    "<h2>Operatorzy</h2>"
    "<p><b>Dodaj</b> dopisuje operatora (kod do 10 znaków, nazwisko do 29). Podwójne kliknięcie otwiera "
    "operatora do poprawy; zmiana nazwiska nadaje nowy numer, bo historia zna operatorów po numerach. "
    "<b>Usuń</b> usuwa wybranego operatora. Dwóch operatorów nie może mieć tego samego kodu.</p>";

const char* const kPassword =
    "<h2>Hasło</h2>"
    "<p>Wpisz hasło i naciśnij Enter; Escape rezygnuje. Wielkość liter ma znaczenie. Nowe hasło nadzoru "
    "wpisuje się dwa razy i może mieć najwyżej 10 znaków.</p>";

const char* const kOrders =
    "<h2>Rozkazy</h2>"
    "<p><b>Lista wszystkich rozkazów</b>: <b>Nowy</b> albo podwójne kliknięcie otwiera rozkaz: numer "
    "szesnastkowo (1 do FF) i opis. <b>Usuń</b> usuwa wybrany rozkaz, <b>Wydruk</b> drukuje listę.</p>"
    "<p><b>Lista rozkazów abonenta</b>: rozkazy, które wolno wysłać do centrali abonenta. <b>Dodaj</b> "
    "wybiera z listy wszystkich rozkazów, podwójne kliknięcie lub spacja zmienia kod wysyłany do tej "
    "centrali, <b>Koniec</b> zapisuje listę.</p>";

const char* const kDescription =
    "<h2>Opis obiektu</h2>"
    "<p>Po lewej opis obiektu, po prawej jego grafiki (plany, zdjęcia): numer i skrót. <b>Pokaż grafikę</b> "
    "lub podwójne kliknięcie pokazuje wybraną; spacja lub Escape ją zamyka. <b>Dodaj</b> kopiuje plik PCX, "
    "JPG lub BMP z wybranego katalogu, <b>Zmień</b> zmienia numer lub skrót, <b>Usuń</b> usuwa grafikę.</p>"
    "<p>W trybie edycji <b>Koniec zmian</b> zapisuje opis; Escape kończy bez zapisu.</p>";

const char* const kSubscriberList =
    "<h2>Lista abonentów</h2>"
    "<p>Każdy abonent w jednym wierszu: numer, nazwa, tory (na czerwono badane), testy i lista zdarzeń. "
    "<b>Sortuj</b> ustawia kolejność i zakres, <b>Szukaj</b> znajduje abonenta na liście. W trybie nadzoru "
    "<b>Nowy</b> dodaje, a <b>Usuń</b> usuwa abonenta.</p>"
    "<p><b>Nowy abonent</b>: wolny numer i wspólna lista zdarzeń. <b>Zmiana numeru</b>: stary i nowy numer, "
    "po cztery cyfry; indeksy, grafiki i historia idą za abonentem.</p>";

const std::map<int, const char*>& pages() {
    static const std::map<int, const char*> table = {
        {1051, kPassword},   {1065, kOperators}, {1066, kPassword},  {1067, kSupervisor},
        {1068, kSupervisor}, {1060, kSupervisor}, {1070, kBlockades}, {1071, kBlockades},
        {1072, kBlockades},  {1200, kSearch},     {1020, kSearch},    {1021, kSubscriberList},
        {1022, kSubscriberList}, {1029, kSubscriberList}, {1202, kDescription}, {1064, kOrders},
    };
    return table;
}

} // namespace

QString helpPage(int context) {
    const auto it = pages().find(context);
    if (it != pages().end()) return QString::fromUtf8(it->second);
    // The main window and every context without a page of its own.
    return QString::fromUtf8(kGeneral) + QString::fromUtf8(kAlarmService);
}

int helpContextOf(const QWidget* widget) {
    for (const QObject* o = widget; o; o = o->parent()) {
        const QVariant v = o->property("helpContext");
        if (v.isValid() && v.toInt() != 0) return v.toInt();
    }
    return 0;
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
        return QObject::eventFilter(watched, event);
    // F1 inside the help window itself does nothing more.
    if (showing_) return true;
    int context = 0;
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        if (QAction* action = menu->activeAction()) context = action->property("helpContext").toInt();
        if (context == 0) context = menu->property("helpContext").toInt();
    }
    if (context == 0) context = helpContextOf(QApplication::focusWidget());
    if (context == 0) context = helpContextOf(QApplication::activeWindow());
    show(context);
    return true;
}

void HelpKey::show(int context) {
    last_ = helpPage(context);
    showing_ = true;
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("Pomoc"));
    dialog.setWindowTitle(QStringLiteral("Pomoc"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QTextBrowser(&dialog);
    text->setHtml(last_);
    auto* end = new QPushButton(QStringLiteral("&Koniec"), &dialog);
    QObject::connect(end, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(text);
    layout->addWidget(end);
    dialog.resize(480, 320);
    dialog.exec();
    showing_ = false;
}

} // namespace k4
