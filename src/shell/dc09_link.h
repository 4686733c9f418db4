#pragma once
// The station's receiver of IP panels: the accounts and the event codes
// from the data directory, the sockets on the configured port, and the
// receiver between them, served once a tick. Switched on by the technician:
// a data directory with "dc09_settings" (or KESTREL4_DC09_PORT set) opens
// the port; a centre without IP panels opens none.
#include "intake/report_intake.h"
#include "messages/messages.h"
#include "net/dc09_accounts.h"
#include "net/dc09_receiver.h"
#include "platform/clock.h"
#include "platform/data_dir.h"
#include "platform/qt_dc09_sockets.h"

#include <memory>

namespace k4 {

class ReportProcessor;
class SubscriberDatabase;
class TestSupervision;
class TraceRing;

class Dc09Link final : private Dc09Wire {
public:
    // The technician's additions to the event codes.
    static constexpr const char* kCodesFileName = "dc09_codes";

    struct Parts {
        const DataDir& dir;
        const Clock& clock;
        Messages& messages;
        ReportIntake& intake;
        ReportProcessor& processor;
        SubscriberDatabase& database;
        TestSupervision& tests;
        TraceRing& trace;
    };
    explicit Dc09Link(const Parts& parts);
    ~Dc09Link() override;

    // After the intake has started. False when it was to listen and could
    // not (the operator was told); true when switched off.
    bool start();
    void stop();
    void tick();

    bool listening() const { return listening_; }
    uint16_t port() const { return sockets_.tcpPort(); }
    const Dc09Receiver* receiver() const { return receiver_.get(); }

private:
    void send(int connection, std::string_view bytes) override { sockets_.send(connection, bytes); }
    void close(int connection) override { sockets_.close(connection); }
    void sendDatagram(const std::string& a, uint16_t p, std::string_view b) override { sockets_.sendDatagram(a, p, b); }

    Parts p_;
    Dc09AccountTable accounts_;
    SiaCodeMap codes_;
    QtDc09Sockets sockets_;
    std::unique_ptr<Dc09Receiver> receiver_;
    MessageGuard guard_;
    bool listening_ = false;
    uint64_t lastStatisticsMs_ = 0;
};

} // namespace k4
