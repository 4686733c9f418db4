#pragma once
// The station's outputs for external display programs, on the D-Bus session
// bus: the fixed items of the old DDE topic, readable by name, and - beyond
// them - a signal for every alarm entered and every alarm serviced, so a
// wallboard can follow the alarm list without reading files.
//
// Bus name pl.kestrel4.Kestrel4, object /KESTREL4, interface
// pl.kestrel4.Topic: Request(s item) -> s, Poke(s item, s value), Items() -> as;
// signals AlarmEntered and AlarmServiced (i subscriber, i code, i class,
// s line).
#include "processing/alarms_list.h"
#include "signals/audio_failure.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>

#include <functional>
#include <map>
#include <string>

namespace k4 {

constexpr const char* kDdeServiceName = "pl.kestrel4.Kestrel4";
constexpr const char* kDdeObjectPath = "/KESTREL4";
constexpr const char* kDdeInterface = "pl.kestrel4.Topic";

class DdeService final : public QDBusVirtualObject, public AlarmBroadcast {
public:
    // line: the alarm's text line as the alarm list shows it (Mazovia).
    using LineOf = std::function<std::string(const AlarmRecord&)>;

    explicit DdeService(QDBusConnection bus = QDBusConnection::sessionBus());
    ~DdeService() override;

    // false when there is no session bus or the name is taken; told once.
    bool start(AudioFailure::Teller tell);
    bool running() const { return running_; }
    void setLineOf(LineOf lineOf) { lineOf_ = std::move(lineOf); }

    // The items and the text each carries; no part of the station changes them.
    static const std::map<std::string, std::string>& items();

    void alarmEntered(const AlarmRecord& alarm) override { emitAlarm("AlarmEntered", alarm); }
    void alarmServiced(const AlarmRecord& alarm) override { emitAlarm("AlarmServiced", alarm); }

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    void emitAlarm(const char* name, const AlarmRecord& alarm);

    QDBusConnection bus_;
    bool running_ = false;
    LineOf lineOf_;
};

} // namespace k4
