#include "sim/module_player.h"

#include "sim/module_blocks_sim.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <ostream>
#include <poll.h>
#include <random>
#include <unistd.h>

namespace k4::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint8_t kAccepted = 0xCA;
constexpr uint8_t kRefused = 0xFE;

struct Outgoing {
    SimBlock block;
    bool badsum = false;
    std::string text;
    int tries = 0;
};

struct ModuleState {
    int kind = 0;
    std::vector<ProbeAnswerer> probed;
    std::deque<Outgoing> outbox;
    int lineFaults = 0;
    int garbage = 0;
    int refusals = 0;
    bool deaf = false;
    std::vector<ForwardPartner> partners;
};

bool takesOrders(int kind) {
    return kind == 0x10 || kind == 0x40 || kind == 0xA0 || kind == 0x30 || kind == 0x60 || kind == 0x90 || kind == 0xB0;
}

std::string hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char part[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(part, sizeof part, i ? " %02X" : "%02X", bytes[i]);
        text += part;
    }
    return text;
}

class Player {
public:
    Player(PtyLink& interfacePort, PtyLink& dataPort, const ModuleScenario& scenario, const ModulePlayOptions& options,
           std::ostream& log)
        : interface_(interfacePort), data_(dataPort), scenario_(scenario), options_(options), log_(log) {
        for (size_t s = 0; s < scenario.modules.size(); ++s) {
            if (!scenario.modules[s]) continue;
            modules_[s] = ModuleState{};
            modules_[s]->kind = scenario.modules[s]->kind;
            modules_[s]->probed = scenario.modules[s]->probed;
            modules_[s]->partners = scenario.modules[s]->partners;
        }
    }

    ModulePlayResult run() {
        std::optional<Clock::time_point> lingerFrom;
        while (!(options_.stop && options_.stop->load())) {
            runDueSteps();
            serveOnce(std::chrono::milliseconds(20));
            checkTimeout();
            if (finished()) {
                if (!lingerFrom) lingerFrom = Clock::now();
                if (Clock::now() - *lingerFrom >= std::chrono::duration<double>(options_.lingerSeconds)) break;
            } else {
                lingerFrom.reset();
            }
        }
        return result_;
    }

private:
    enum class Wait { Idle, Ack, Order };

    std::string who(int slot) const {
        char text[32];
        std::snprintf(text, sizeof text, "[gniazdo %d %s] ", slot + 1, simKindName(modules_[static_cast<size_t>(slot)]->kind));
        return text;
    }
    void pass(const std::string& line) {
        ++result_.passed;
        log_ << line << '\n' << std::flush;
    }
    void fail(const std::string& line) {
        ++result_.failed;
        log_ << line << "  !! NIEZGODNE" << '\n' << std::flush;
    }
    ModuleState* selected() { return selected_ >= 0 && modules_[static_cast<size_t>(selected_)] ? &*modules_[static_cast<size_t>(selected_)] : nullptr; }

    bool finished() const {
        if (step_ < scenario_.steps.size() || wait_ != Wait::Idle) return false;
        for (const auto& m : modules_)
            if (m && (!m->outbox.empty() || m->lineFaults > 0 || m->garbage > 0)) return false;
        return true;
    }

    void runDueSteps() {
        while (step_ < scenario_.steps.size() && Clock::now() >= nextStepAt_) {
            const ModuleStep& s = scenario_.steps[step_++];
            if (s.kind == ModuleStep::Kind::Wait) {
                nextStepAt_ = Clock::now() + std::chrono::milliseconds(static_cast<int>(s.seconds * 1000));
                continue;
            }
            ModuleState& m = *modules_[static_cast<size_t>(s.slot)];
            switch (s.kind) {
            case ModuleStep::Kind::Report:
                m.outbox.push_back({simReportBlock(m.kind, s.subscriber, s.code, s.subsystem, s.sector, s.phone),
                                    s.badsum, s.text, 0});
                break;
            case ModuleStep::Kind::Call: m.outbox.push_back({simBareCall(s.phone), false, s.text, 0}); break;
            case ModuleStep::Kind::LineFault: m.lineFaults += s.count; break;
            case ModuleStep::Kind::Garbage: m.garbage = s.count; break;
            case ModuleStep::Kind::Wait: break;
            case ModuleStep::Kind::Refuse: m.refusals += s.count; break;
            case ModuleStep::Kind::Deaf: m.deaf = true; break;
            }
        }
    }

    void serveOnce(std::chrono::milliseconds timeout) {
        pollfd fds[2] = {{interface_.fd(), POLLIN, 0}, {data_.fd(), POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(timeout.count())) <= 0) return;
        uint8_t b = 0;
        if ((fds[0].revents & POLLIN) && ::read(interface_.fd(), &b, 1) == 1) onInterface(b);
        if ((fds[1].revents & POLLIN) && ::read(data_.fd(), &b, 1) == 1) {
            lastByte_ = Clock::now();
            onData(b);
        }
    }

    void checkTimeout() {
        if (wait_ == Wait::Idle) return;
        if (Clock::now() - lastByte_ < std::chrono::milliseconds(options_.answerTimeoutMs)) return;
        fail(who(waitSlot_) + (wait_ == Wait::Ack ? "stacja nie odpowiedziała na blok" : "rozkaz urwany: " + hex(order_)));
        wait_ = Wait::Idle;
    }

    void onInterface(uint8_t b) {
        if (b < 1 || b > 7) {
            char text[64];
            std::snprintf(text, sizeof text, "port interfejsu: nieoczekiwany bajt %02X", b);
            fail(text);
            return;
        }
        selected_ = b - 1;
        interface_.write({static_cast<uint8_t>(selected() ? 0x01 : 0x00)});
    }

    void onData(uint8_t b) {
        switch (wait_) {
        case Wait::Idle: onIdleByte(b); return;
        case Wait::Ack: onAck(b); return;
        case Wait::Order: onOrderByte(b); return;
        }
    }

    void onIdleByte(uint8_t b) {
        ModuleState* m = selected();
        if (!m) {
            char text[64];
            std::snprintf(text, sizeof text, "port danych: bajt %02X bez wybranego pakietu", b);
            fail(text);
            return;
        }
        // A module that has gone deaf answers nothing at all.
        if (m->deaf) return;
        if (b == 0x00) {
            data_.write({static_cast<uint8_t>(m->kind)});
            if (!typeShown_[static_cast<size_t>(selected_)]) {
                typeShown_[static_cast<size_t>(selected_)] = true;
                char text[32];
                std::snprintf(text, sizeof text, "typ -> %02X", m->kind);
                pass(who(selected_) + text);
            }
            return;
        }
        if (b > 3) {
            char text[64];
            std::snprintf(text, sizeof text, "nieoczekiwany bajt %02X zamiast trybu odpytania", b);
            fail(who(selected_) + text);
            return;
        }
        ++result_.polls;
        const int mode = b;
        if (m->garbage > 0) {
            std::vector<uint8_t> stray{0x0C};
            std::uniform_int_distribution<int> byte(0, 255);
            while (static_cast<int>(stray.size()) < m->garbage) stray.push_back(static_cast<uint8_t>(byte(random_)));
            data_.write(stray);
            pass(who(selected_) + "śmieci: " + std::to_string(m->garbage) + " B");
            m->garbage = 0;
            return;
        }
        if (m->lineFaults > 0) {
            data_.write({0x0F});
            --m->lineFaults;
            pass(who(selected_) + "brak linii (status 0F), zostało " + std::to_string(m->lineFaults));
            return;
        }
        if (mode != 1 && takesOrders(m->kind) && m->refusals > 0) {
            --m->refusals;
            data_.write({0x00});
            pass(who(selected_) + "rozkaz nie przyjęty (status 00), zostało " + std::to_string(m->refusals));
            return;
        }
        if (mode != 1 && takesOrders(m->kind)) {
            data_.write({0x02});
            wait_ = Wait::Order;
            waitSlot_ = selected_;
            orderMode_ = mode;
            order_.clear();
            return;
        }
        if (mode == 1 && !m->outbox.empty()) {
            Outgoing& out = m->outbox.front();
            std::vector<uint8_t> bytes{static_cast<uint8_t>(out.block.status)};
            uint8_t sum = 0;
            for (uint8_t x : out.block.bytes) sum = static_cast<uint8_t>(sum + x);
            bytes.insert(bytes.end(), out.block.bytes.begin(), out.block.bytes.end());
            bytes.push_back(static_cast<uint8_t>(sum + (out.badsum ? 1 : 0)));
            data_.write(bytes);
            wait_ = Wait::Ack;
            waitSlot_ = selected_;
            return;
        }
        data_.write({0x00});
    }

    void onAck(uint8_t b) {
        ModuleState& m = *modules_[static_cast<size_t>(waitSlot_)];
        wait_ = Wait::Idle;
        Outgoing out = m.outbox.front();
        const std::string line = who(waitSlot_) + out.text + " -> ";
        if (b == kAccepted) {
            data_.write({kAccepted});
            m.outbox.pop_front();
            if (out.badsum) {
                fail(line + "przyjęty mimo złej sumy");
            } else {
                ++result_.reports;
                pass(line + "przyjęty");
            }
            return;
        }
        if (b == kRefused) {
            if (out.badsum) {
                m.outbox.pop_front();
                pass(line + "odrzucony (zła suma)");
                return;
            }
            // A module keeps a refused block and delivers it again.
            if (++m.outbox.front().tries >= 3) m.outbox.pop_front();
            fail(line + "odrzucony");
            return;
        }
        char text[48];
        std::snprintf(text, sizeof text, "nieoczekiwany bajt %02X zamiast CA/FE", b);
        fail(line + text);
    }

    void onOrderByte(uint8_t b) {
        ModuleState& m = *modules_[static_cast<size_t>(waitSlot_)];
        order_.push_back(b);
        const int need = simOrderLength(m.kind, orderMode_, order_);
        if (need == 0 || static_cast<int>(order_.size()) < need + 1) {
            if (order_.size() > 40) {
                fail(who(waitSlot_) + "rozkaz bez końca: " + hex(order_));
                wait_ = Wait::Idle;
            }
            return;
        }
        wait_ = Wait::Idle;
        std::vector<uint8_t> body(order_.begin(), order_.begin() + need);
        uint8_t sum = 0;
        for (uint8_t x : body) sum = static_cast<uint8_t>(sum + x);
        if (sum != order_.back()) {
            data_.write({kRefused});
            fail(who(waitSlot_) + "rozkaz ze złą sumą: " + hex(order_));
            return;
        }
        data_.write({kAccepted});
        ++result_.orders;
        if (orderMode_ == 3 && body.size() == 15) {
            // A forwarded alarm: one digit a byte, the base's radio address first.
            std::string line = who(waitSlot_) + "przesłany alarm do bazy " + std::to_string(body[0]) + ": " + hex(body);
            for (const ForwardPartner& p : m.partners) {
                if (p.radioAddress != body[0]) continue;
                if (p.confirms) {
                    m.outbox.push_back({{5, {body[0], body[1], body[2], body[3], body[4]}}, false,
                                        "potwierdzenie bazy " + std::to_string(body[0]), 0});
                    line += " — baza potwierdza";
                } else {
                    line += " — baza nie potwierdza";
                }
            }
            pass(line);
            return;
        }
        if (m.kind == 0x90 && body.size() == 11) {
            // A forwarded alarm by SMS: the base's number, the parameter,
            // the subscriber and the report.
            const SimGsmForward f = readGsmForward(body);
            std::string line = who(waitSlot_) + "przesłany alarm do bazy " + f.number + ": " + hex(body);
            for (const ForwardPartner& p : m.partners) {
                if (p.gsmNumber.empty() || p.gsmNumber != f.number) continue;
                if (p.confirms) {
                    m.outbox.push_back({simGsmConfirmation(p.gsmNumber, f.subscriber, f.gsmParam), false,
                                        "potwierdzenie bazy " + p.gsmNumber, 0});
                    line += " — baza potwierdza";
                } else {
                    line += " — baza nie potwierdza";
                }
            }
            pass(line);
            return;
        }
        const SimOrder o = readSimOrder(m.kind, orderMode_, body);
        std::string line = who(waitSlot_) + "rozkaz (tryb " + std::to_string(orderMode_) + "): " + hex(body);
        const ProbeAnswerer* target = nullptr;
        for (const ProbeAnswerer& a : m.probed)
            if ((o.subscriber >= 0 && a.subscriber == o.subscriber) || (!o.phone.empty() && a.phone == o.phone))
                target = &a;
        if (target) {
            line += " — abonent " + std::to_string(target->subscriber) + (target->answers ? " odpowiada" : " milczy");
            if (target->answers)
                m.outbox.push_front({simProbeAnswer(m.kind, target->subscriber, o.code, target->phone), false,
                                     "odpowiedź na badanie " + std::to_string(target->subscriber), 0});
        }
        pass(line);
    }

    PtyLink& interface_;
    PtyLink& data_;
    const ModuleScenario& scenario_;
    ModulePlayOptions options_;
    std::ostream& log_;
    std::array<std::optional<ModuleState>, 7> modules_;
    std::array<bool, 7> typeShown_{};
    ModulePlayResult result_;
    size_t step_ = 0;
    Clock::time_point nextStepAt_ = Clock::now();
    Clock::time_point lastByte_ = Clock::now();
    int selected_ = -1;
    Wait wait_ = Wait::Idle;
    int waitSlot_ = 0;
    int orderMode_ = 0;
    std::vector<uint8_t> order_;
    std::mt19937 random_{4242};
};

} // namespace

ModulePlayResult playModuleScenario(PtyLink& interfacePort, PtyLink& dataPort, const ModuleScenario& scenario,
                                    const ModulePlayOptions& options, std::ostream& log) {
    Player player(interfacePort, dataPort, scenario, options, log);
    return player.run();
}

} // namespace k4::sim
