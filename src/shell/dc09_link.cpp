#include "shell/dc09_link.h"

#include "baselink/trace_ring.h"
#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "platform/file.h"
#include "processing/report.h"
#include "processing/report_links.h"

#include <cstdlib>

namespace k4 {

Dc09Link::Dc09Link(const Parts& parts)
    : p_(parts),
      sockets_({[this](int c, const std::string& a) { return receiver_ && receiver_->opened(c, a, static_cast<int64_t>(p_.clock.tickMs())); },
                [this](int c, std::string_view b) {
                    if (receiver_) receiver_->arrived(c, b, static_cast<int64_t>(p_.clock.tickMs()));
                },
                [this](int c) {
                    if (receiver_) receiver_->closed(c);
                },
                [this](const std::string& a, uint16_t port, std::string_view b) {
                    if (receiver_) receiver_->datagram(a, port, b);
                }}) {}

Dc09Link::~Dc09Link() { stop(); }

bool Dc09Link::start() {
    const bool switchedOn = fileExists(p_.dir.file(Dc09Settings::kFileName)) || std::getenv("KESTREL4_DC09_PORT");
    if (!switchedOn) return true;
    const Dc09Settings settings = Dc09Settings::load(p_.dir);
    if (settings.port == 0) return true;

    std::string error;
    std::vector<int> bad;
    if (!accounts_.load(p_.dir, &error, &bad)) {
        p_.messages.ShowNotice(guard_, mz(("\x03odczytu pliku dc09_accounts: " + error).c_str()), kNoticeError);
    }
    for (int line : bad) p_.trace.Trace("dc09_accounts: wiersz %d pominiety ", line);
    std::string codes;
    if (readWholeFile(p_.dir.file(kCodesFileName), codes, nullptr)) {
        for (int line : codes_.load(codes)) p_.trace.Trace("dc09_codes: wiersz %d pominiety ", line);
    }

    Dc09Policy policy;
    policy.refuseUnknownAccounts = settings.refuseUnknownAccounts;
    receiver_ = std::make_unique<Dc09Receiver>(Dc09Receiver::Services{
        *this, p_.intake, accounts_, codes_, policy, Dc09Limits{},
        [this](const Report& r) { p_.processor.processReport(r); },
        [this](int32_t subscriber) {
            // The panel is alive: its test on the Ethernet test path starts
            // again, as a periodic test report does.
            Sbscrbr s(p_.database, ByNumber{subscriber});
            if (s.valid) p_.tests.checkTest(5, s, 6);
        },
        [this](const std::string& note) { p_.trace.add(note); }});
    p_.intake.setHandler(IntakeChannel::IpPanel, [this](const JournalRecord& record) {
        if (receiver_) receiver_->processStored(record.bytes);
    });
    if (!sockets_.listen(settings.port, &error)) {
        p_.messages.ShowNotice(guard_, mz(("\x03otwarcia portu " + std::to_string(settings.port) + " odbiornika IP: " + error).c_str()),
                               kNoticeError);
        return false;
    }
    listening_ = true;
    return true;
}

void Dc09Link::stop() {
    sockets_.shutdown();
    listening_ = false;
    p_.intake.setHandler(IntakeChannel::IpPanel, {});
}

void Dc09Link::tick() {
    if (!receiver_ || !listening_) return;
    sockets_.takeWaitingDatagrams();
    receiver_->serve(static_cast<int64_t>(p_.clock.tickMs()), p_.clock.unixTime());
    // The link's statistics in the technical window once a minute.
    const uint64_t now = p_.clock.tickMs();
    if (now - lastStatisticsMs_ >= 60000) {
        lastStatisticsMs_ = now;
        for (const std::string& line : receiver_->statisticsLines()) p_.trace.add(line);
    }
}

} // namespace k4
