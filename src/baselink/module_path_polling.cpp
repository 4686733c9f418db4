#include "baselink/module_path_polling.h"

namespace k4 {

ModulePathPolling::ModulePathPolling(const ModulePoll::Services& services, const Channels& channels,
                                     ReportIntake& intake)
    : poll_(services), ethernet_(services.frame, channels.textCommands), channels_(channels), intake_(intake) {
    intake_.setHandler(IntakeChannel::ModuleBlock, [this](const JournalRecord& record) {
        poll_.processStoredBlock(record);
    });
}

ModulePathPolling::~ModulePathPolling() { intake_.setHandler(IntakeChannel::ModuleBlock, {}); }

template <typename Poll> int ModulePathPolling::withState(Packet& path, Poll poll) {
    PolledPath state{path.slot, path.kind, path.number, path.typeIndex, path.status};
    const int result = poll(state);
    path.status = state.status;
    return result;
}

int ModulePathPolling::radioPoll(Packet& path, int mode, int) {
    return withState(path, [&](PolledPath& s) { return poll_.pollRadio(s, mode); });
}

int ModulePathPolling::modulePoll(Packet& path, int mode, int) {
    return withState(path, [&](PolledPath& s) { return poll_.pollModule(s, mode); });
}

int ModulePathPolling::decodeExtendedRadio(Packet& path, int mode) {
    return withState(path, [&](PolledPath& s) { return poll_.decodeExtended(s, mode); });
}

int ModulePathPolling::ethernetPoll(Packet& path, int mode, int) {
    EthernetPathState state{path.kind, path.address, path.sequence};
    const int result = ethernet_.pollEthernet(state, mode);
    path.sequence = state.sequence;
    return result;
}

int ModulePathPolling::virtualPoll(Packet& path, int mode, int) {
    DatagramSocket& channel = path.kind == kKindEthernetChannel ? channels_.ethernet : channels_.vgprs;
    return ethernet_.pollVirtual(path.kind, mode, channels_.addresses, channel);
}

void ModulePathPolling::lineFaultAlert(Packet& path) {
    withState(path, [&](PolledPath& s) {
        poll_.lineFaultAlert(s);
        return 0;
    });
}

} // namespace k4
