#include "signals/dde_service.h"

#include "database/text_edge.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <cstdio>

namespace k4 {

const std::map<std::string, std::string>& DdeService::items() {
    static const std::map<std::string, std::string> values = [] {
        std::map<std::string, std::string> v{
            {"Al_sector", ""}, {"Al_no", ""},  {"vsbs_no", "-1"}, {"Al_line", ""},
            {"Al_sbs", ""},    {"leds1", "8"}, {"L12", "-1"},     {"vflow1", "0"},
            {"vflow2", ""},    {"switch1", "1"}};
        for (int i = 2; i <= 8; ++i) v["leds" + std::to_string(i)] = "";
        for (int i = 7; i <= 11; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "L%02d", i);
            v[name] = "";
        }
        for (int i = 7; i <= 12; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "L%02dD", i);
            v[name] = "";
        }
        return v;
    }();
    return values;
}

DdeService::DdeService(QDBusConnection bus) : bus_(std::move(bus)) {}

DdeService::~DdeService() {
    if (running_) {
        bus_.unregisterObject(kDdeObjectPath);
        bus_.unregisterService(kDdeServiceName);
    }
}

bool DdeService::start(AudioFailure::Teller tell) {
    // A headless server often has no session bus: then there is simply no
    // service, said once, and the station is otherwise the same.
    if (!bus_.isConnected()) {
        if (tell) tell("brak sesji D-Bus: usługa dla programów zewnętrznych nie działa");
        return false;
    }
    if (!bus_.registerVirtualObject(kDdeObjectPath, this) || !bus_.registerService(kDdeServiceName)) {
        bus_.unregisterObject(kDdeObjectPath);
        if (tell) tell(std::string("usługa D-Bus ") + kDdeServiceName + " nie działa: " +
                       bus_.lastError().message().toStdString());
        return false;
    }
    running_ = true;
    return true;
}

QString DdeService::introspect(const QString&) const {
    return QStringLiteral(
        "<interface name=\"pl.kestrel4.Topic\">"
        "<method name=\"Request\"><arg name=\"item\" type=\"s\" direction=\"in\"/>"
        "<arg name=\"value\" type=\"s\" direction=\"out\"/></method>"
        "<method name=\"Poke\"><arg name=\"item\" type=\"s\" direction=\"in\"/>"
        "<arg name=\"value\" type=\"s\" direction=\"in\"/></method>"
        "<method name=\"Items\"><arg name=\"items\" type=\"as\" direction=\"out\"/></method>"
        "<signal name=\"AlarmEntered\"><arg name=\"subscriber\" type=\"i\"/><arg name=\"code\" type=\"i\"/>"
        "<arg name=\"class\" type=\"i\"/><arg name=\"line\" type=\"s\"/></signal>"
        "<signal name=\"AlarmServiced\"><arg name=\"subscriber\" type=\"i\"/><arg name=\"code\" type=\"i\"/>"
        "<arg name=\"class\" type=\"i\"/><arg name=\"line\" type=\"s\"/></signal>"
        "</interface>");
}

bool DdeService::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    if (!message.interface().isEmpty() && message.interface() != kDdeInterface) return false;
    const QString member = message.member();
    const QList<QVariant> args = message.arguments();
    QDBusMessage reply;
    if (member == "Items" && args.isEmpty()) {
        QStringList names;
        for (const auto& [name, value] : items()) names << QString::fromStdString(name);
        reply = message.createReply(QVariant(names));
    } else if ((member == "Request" && args.size() == 1) || (member == "Poke" && args.size() == 2)) {
        const std::string item = args[0].toString().toStdString();
        const auto found = items().find(item);
        if (found == items().end()) {
            reply = message.createErrorReply("pl.kestrel4.Error.UnknownItem",
                                             QString::fromStdString("brak pozycji " + item));
        } else if (member == "Request") {
            reply = message.createReply(QString::fromStdString(found->second));
        } else if (item == "switch1") {
            reply = message.createReply(); // accepted, and it changes nothing
        } else {
            reply = message.createErrorReply("pl.kestrel4.Error.ReadOnly",
                                             QString::fromStdString("pozycja " + item + " jest tylko do odczytu"));
        }
    } else {
        return false;
    }
    connection.send(reply);
    return true;
}

void DdeService::emitAlarm(const char* name, const AlarmRecord& alarm) {
    if (!running_) return;
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "%4.4d %03X", alarm.subscriber, alarm.codeWord & 0x0FFF);
    const std::string line = lineOf_ ? lineOf_(alarm) : std::string(fallback);
    QDBusMessage signal = QDBusMessage::createSignal(kDdeObjectPath, kDdeInterface, name);
    signal << static_cast<int>(alarm.subscriber) << static_cast<int>(alarm.codeWord & 0x0FFF)
           << static_cast<int>(alarm.codeWord >> 12) << QString::fromStdString(Utf8FromMazovia(line));
    bus_.send(signal);
}

} // namespace k4
