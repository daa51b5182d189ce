#include "net/packet_codec.hpp"

#include "match/choice_tables.hpp"
#include "match/quick_match.hpp"
#include "match/recording.hpp"
#include "net/wire_bytes.hpp"

#include <type_traits>

namespace {

constexpr uint8_t kLevels = 3;

void writeLook(WireWriter& w, const SeatLook& look) {
    w.u8(look.face);
    w.u8(look.turret);
    w.u8(look.track);
}

SeatLook readLook(WireReader& r) {
    SeatLook look;
    look.face = r.u8();
    look.turret = r.u8();
    look.track = r.u8();
    r.require(look.face < kFaceChoices.size() && look.turret < kTurretChoices.size() &&
              look.track < kTrackChoices.size());
    return look;
}

void writeLineup(WireWriter& w, const Lineup& l) {
    w.text(l.map);
    w.u8(l.lives);
    w.u16(l.seconds);
    w.u8(l.players);
    for (const SeatInfo& s : l.seats) {
        w.u8(s.machine);
        w.u8(static_cast<uint8_t>(s.computer ? 1 : 0));
        w.u8(s.level);
        w.u16(s.roundTripMs);
        writeLook(w, s.look);
    }
}

bool validMachine(uint8_t machine) {
    return machine <= kMaxClients || machine == kNoMachine;
}

Lineup readLineup(WireReader& r) {
    Lineup l;
    l.map = r.text();
    l.lives = r.u8();
    l.seconds = r.u16();
    l.players = r.u8();
    r.require(l.lives >= kLivesRange.low && l.lives <= kLivesRange.high);
    r.require(l.seconds >= kSecondsRange.low && l.seconds <= kSecondsRange.high);
    r.require(l.players >= kPlayersRange.low && l.players <= kPlayersRange.high);
    for (SeatInfo& s : l.seats) {
        s.machine = r.u8();
        const uint8_t computer = r.u8();
        s.level = r.u8();
        s.roundTripMs = r.u16();
        s.look = readLook(r);
        r.require(validMachine(s.machine) && computer <= 1 && s.level < kLevels);
        s.computer = computer == 1;
    }
    return l;
}

void write(WireWriter& w, const HelloMessage& m) {
    w.text(m.build);
    w.u64(m.dataHash);
    w.u8(m.seats);
    w.u8(m.computers);
    w.u8(m.level);
    w.u8(m.chosen ? 1 : 0);
    for (int seat = 0; m.chosen && seat < m.seats; ++seat) {
        const SeatChoice& choice = (*m.chosen)[static_cast<size_t>(seat)];
        w.u8(choice.computer ? 1 : 0);
        w.u8(choice.level);
        writeLook(w, choice.look);
    }
}
void write(WireWriter& w, const WelcomeMessage& m) {
    w.u8(m.machine);
}
void write(WireWriter& w, const RefuseMessage& m) {
    w.u8(static_cast<uint8_t>(m.reason));
    w.text(m.build);
    w.u64(m.dataHash);
    w.u8(m.freeSeats);
}
void write(WireWriter& w, const LineupMessage& m) {
    writeLineup(w, m.lineup);
}
void write(WireWriter& w, const StartMessage& m) {
    writeLineup(w, m.lineup);
    w.u16(m.match);
    w.u32(m.seed);
    w.u8(m.delay);
    // Teams on and team hits as two bits, then a bit for each seat on the blue side.
    w.u8(static_cast<uint8_t>((m.teams.on ? 1 : 0) | (m.teams.hits ? 2 : 0)));
    uint8_t blue = 0;
    for (size_t seat = 0; seat < m.teams.seat.size(); ++seat) {
        blue = static_cast<uint8_t>(blue | (m.teams.seat[seat] == kTeamBlue ? 1u << seat : 0u));
    }
    w.u8(blue);
}
void write(WireWriter& w, const InputsMessage& m) {
    w.u16(m.match);
    w.u8(static_cast<uint8_t>(m.runs.size()));
    for (const SeatRun& run : m.runs) {
        w.u8(run.seat);
        w.u32(run.first);
        w.u8(static_cast<uint8_t>(run.actions.size()));
        for (uint16_t bits : run.actions) {
            w.u16(bits);
        }
    }
    w.u8(m.heardMask);
    for (int seat = 0; seat < kMaxSeats; ++seat) {
        if ((m.heardMask >> seat) & 1u) {
            w.u32(m.heard[static_cast<size_t>(seat)]);
        }
    }
    w.u8(static_cast<uint8_t>(m.advantage));
}
void write(WireWriter& w, const HashMessage& m) {
    w.u16(m.match);
    w.u32(m.frame);
    w.u64(m.hash);
}
void write(WireWriter& w, const DesyncMessage& m) {
    w.u16(m.match);
    w.u32(m.frame);
}
void write(WireWriter& w, const TakeoverMessage& m) {
    w.u16(m.match);
    w.u8(m.seatMask);
    w.u32(m.frame);
}
void write(WireWriter&, const AliveMessage&) {}
void write(WireWriter&, const LeaveMessage&) {}

// Frames beyond this are no frame a match reaches (a day and a half at 60 a second).
constexpr uint32_t kMaxFrame = 1u << 23;
constexpr uint8_t kAllSeats = (1u << kMaxSeats) - 1;

void read(WireReader& r, HelloMessage& m) {
    m.build = r.text();
    m.dataHash = r.u64();
    m.seats = r.u8();
    m.computers = r.u8();
    m.level = r.u8();
    r.require(m.seats >= 1 && m.seats <= kMaxSeats && m.computers <= m.seats && m.level < kLevels);
    const uint8_t chosen = r.u8();
    r.require(chosen <= 1);
    if (chosen == 1 && r.ok()) {
        m.chosen.emplace();
        for (int seat = 0; seat < m.seats; ++seat) {
            SeatChoice& choice = (*m.chosen)[static_cast<size_t>(seat)];
            const uint8_t computer = r.u8();
            choice.level = r.u8();
            r.require(computer <= 1 && choice.level < kLevels);
            choice.computer = computer == 1;
            choice.look = readLook(r);
        }
    }
}
void read(WireReader& r, WelcomeMessage& m) {
    m.machine = r.u8();
    r.require(m.machine >= 1 && m.machine <= kMaxClients);
}
void read(WireReader& r, RefuseMessage& m) {
    const uint8_t reason = r.u8();
    r.require(reason >= static_cast<uint8_t>(RefuseReason::Build) &&
              reason <= static_cast<uint8_t>(RefuseReason::Playing));
    m.reason = static_cast<RefuseReason>(reason);
    m.build = r.text();
    m.dataHash = r.u64();
    m.freeSeats = r.u8();
    r.require(m.freeSeats <= kMaxSeats);
}
void read(WireReader& r, LineupMessage& m) {
    m.lineup = readLineup(r);
}
void read(WireReader& r, StartMessage& m) {
    m.lineup = readLineup(r);
    m.match = r.u16();
    m.seed = r.u32();
    m.delay = r.u8();
    r.require(m.delay <= kMaxInputDelay);
    const uint8_t teams = r.u8();
    const uint8_t blue = r.u8();
    r.require(teams <= 3 && blue <= 15);
    m.teams.on = (teams & 1) != 0;
    m.teams.hits = (teams & 2) != 0;
    for (size_t seat = 0; seat < m.teams.seat.size(); ++seat) {
        m.teams.seat[seat] = (blue >> seat) & 1 ? kTeamBlue : kTeamRed;
    }
    r.require(!m.teams.on || m.teams.BothSidesSeated(m.lineup.players));
}
void read(WireReader& r, InputsMessage& m) {
    m.match = r.u16();
    const uint8_t runs = r.u8();
    r.require(runs <= kMaxSeats);
    uint8_t seen = 0;
    for (uint8_t i = 0; i < runs && r.ok(); ++i) {
        SeatRun run;
        run.seat = r.u8();
        run.first = r.u32();
        const uint8_t count = r.u8();
        r.require(run.seat < kMaxSeats && !((seen >> run.seat) & 1u) && count >= 1 &&
                  count <= kMaxFramesPerRun && run.first < kMaxFrame);
        if (run.seat < kMaxSeats) {
            seen = static_cast<uint8_t>(seen | (1u << run.seat));
        }
        for (uint8_t k = 0; k < count && r.ok(); ++k) {
            const uint16_t bits = r.u16();
            r.require(bits <= kActionBitsMask);
            run.actions.push_back(bits);
        }
        m.runs.push_back(std::move(run));
    }
    m.heardMask = r.u8();
    r.require(m.heardMask <= kAllSeats);
    for (int seat = 0; seat < kMaxSeats; ++seat) {
        if ((m.heardMask >> seat) & 1u) {
            m.heard[static_cast<size_t>(seat)] = r.u32();
            r.require(m.heard[static_cast<size_t>(seat)] <= kMaxFrame);
        }
    }
    m.advantage = static_cast<int8_t>(r.u8());
}
void read(WireReader& r, HashMessage& m) {
    m.match = r.u16();
    m.frame = r.u32();
    m.hash = r.u64();
    r.require(m.frame < kMaxFrame);
}
void read(WireReader& r, DesyncMessage& m) {
    m.match = r.u16();
    m.frame = r.u32();
    r.require(m.frame < kMaxFrame);
}
void read(WireReader& r, TakeoverMessage& m) {
    m.match = r.u16();
    m.seatMask = r.u8();
    m.frame = r.u32();
    r.require(m.seatMask != 0 && m.seatMask <= kAllSeats && m.frame < kMaxFrame);
}
void read(WireReader&, AliveMessage&) {}
void read(WireReader&, LeaveMessage&) {}

// The message of kind index k (the kind byte less one), read into the variant.
template <size_t K> std::optional<Message> readKind(size_t kind, WireReader& r) {
    if constexpr (K < std::variant_size_v<Message>) {
        if (kind == K) {
            std::variant_alternative_t<K, Message> m;
            read(r, m);
            return Message(std::move(m));
        }
        return readKind<K + 1>(kind, r);
    } else {
        return std::nullopt;
    }
}

} // namespace

SeatLook DefaultSeatLook(int seat) {
    const PanelChoice& choice = kDefaultPanelChoices[static_cast<size_t>(seat) % kDefaultPanelChoices.size()];
    return {static_cast<uint8_t>(choice.face), static_cast<uint8_t>(choice.turret),
            static_cast<uint8_t>(choice.track)};
}

std::vector<uint8_t> EncodeMessage(const Message& message) {
    WireWriter w;
    w.u8(static_cast<uint8_t>(message.index() + 1));
    std::visit([&](const auto& m) { write(w, m); }, message);
    return std::move(w.bytes);
}

std::optional<Message> DecodeMessage(std::span<const uint8_t> packet, DecodeFault* fault) {
    auto refuse = [&](DecodeFault why) -> std::optional<Message> {
        if (fault != nullptr) {
            *fault = why;
        }
        return std::nullopt;
    };
    if (packet.size() > kMaxPacketBytes) {
        return refuse(DecodeFault::Oversized);
    }
    if (packet.empty() || packet[0] == 0) {
        return refuse(DecodeFault::Malformed);
    }
    WireReader r(packet.subspan(1), kMaxTextBytes);
    std::optional<Message> message = readKind<0>(static_cast<size_t>(packet[0] - 1), r);
    if (!message || !r.whole()) {
        return refuse(DecodeFault::Malformed);
    }
    if (fault != nullptr) {
        *fault = DecodeFault::None;
    }
    return message;
}
