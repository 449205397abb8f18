#pragma once
// COnlineClient: this machine's part in an online session, over a link to a relay. The
// window drives it and needs no toolkit of its own for it:
//
//   Host(arena, seats)   opens a new room; this machine's arena, its size included, becomes
//                        the shared one and this machine its host (snapshots, ship count).
//   Join(room, seats)    joins a room; the game starts from the host's snapshot.
//                        Seats wanted: this machine's players, keyboard first, 1 to 4.
//   Frame(local, nowMs)  every 25 ms tick, the local players' input bytes (keys, and a
//                        command above them: net::kCommand*) in the local players' order;
//                        the client maps them to the seats it was given. True when the game
//                        advanced: a machine ahead of the others skips a frame now and then.
//   Arena()              the newest state, to draw.
//   NextConfirmed(b, a)  each confirmed tick once, oldest first, as the arena before and
//                        after it: what sounds, so nothing sounds twice after a re-run.
//   Leave()              leaves the room and closes the link.
//
// The link reports to this object (CNetLinkListener). Messages are handled at the time of
// the last Frame or SetNow, so that a test can run the whole session on a simulated clock.
// A link that closes, or a relay silent for kSilenceMs, ends the session with a one-line
// reason in Status(); the window then plays on locally from Arena() as it stands.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "net/ArenaSnapshot.h"
#include "net/NetLink.h"
#include "net/Protocol.h"
#include "net/RollbackSession.h"

// What the measuring script and the window's title read.
struct COnlineStats
{
    long m_bytesSent = 0;
    long m_bytesReceived = 0;
    long m_desyncs = 0;
    // Snapshots taken from the host to recover from a desync.
    long m_resyncs = 0;
    int m_deepestRollback = 0;
    // The last measured round trip to the relay; -1 before the first answer.
    int m_roundTripMs = -1;
    std::uint32_t m_inputDelay = 0;
    // Frames held back because this machine ran ahead of the others.
    long m_skippedFrames = 0;
};

class COnlineClient : public CNetLinkListener
{
public:
    enum class EState { kIdle, kConnecting, kPlaying, kEnded };

    static constexpr std::int64_t kPingEveryMs = 1000;
    // The relay's link is a stream that loses nothing: a repeat of two ticks is a spare, and
    // keeps four players' traffic under 2 KB/s each way.
    static constexpr std::uint32_t kRepeat = 2;
    // A relay that answers nothing this long (it answers every ping) is gone; so is a host
    // whose snapshot does not come this long after the welcome.
    static constexpr std::int64_t kSilenceMs = 10'000;

    explicit COnlineClient(CNetLink& link);

    // Starts once the link is open (LinkOpened); call before or after it opens.
    void Host(const CArena& arena, int seats);
    void Join(std::uint64_t room, int seats);
    void Leave();

    void LinkOpened() override;
    void LinkReceived(std::span<const std::uint8_t> bytes) override;
    void LinkClosed(const std::string& why) override;

    void SetNow(std::int64_t nowMs) { m_nowMs = nowMs; }
    bool Frame(const std::uint8_t (&local)[net::kSeats], std::int64_t nowMs);

    const CArena& Arena() const { return m_session.m_arena; }
    std::uint32_t Tick() const { return m_session.m_tick; }
    std::uint32_t ConfirmedTick() const;
    bool NextConfirmed(const CArena*& before, const CArena*& after);

    EState State() const { return m_state; }
    std::uint64_t Room() const { return m_room; }
    std::uint8_t LocalSeats() const { return m_session.m_localSeats; }
    std::uint8_t HeldSeats() const { return m_session.m_heldSeats; }
    bool IsHost() const { return m_session.m_hostSeats != 0 && m_session.m_hostSeats == m_session.m_localSeats; }
    // One line for the window's title and stderr: the room and players, or why it ended.
    const std::string& Status() const { return m_status; }
    const COnlineStats& Stats() const { return m_stats; }
    // The session itself, for tests and the measuring tool.
    const CRollbackSession& Session() const { return m_session; }
    CRollbackSession& Session() { return m_session; }

private:
    void Start(std::uint64_t room, int seats);
    void SendJoin();
    void Handle(const net::CMessage& message);
    void Welcome(const net::CMessage& message);
    void Begin(const CArena& arena, std::uint32_t tick, std::uint8_t held, std::uint8_t host);
    void ReplayEarly();
    void SeatsChanged(const net::CMessage& message);
    void TakeSnapshot(const net::CMessage& message);
    void RemoteInput(const net::CInputBatch& batch);
    void SendSnapshot(std::uint32_t tick);
    void SendDueSnapshots();
    void SendInputs();
    void CheckDesync();
    void Ping();
    bool Ahead();
    void Send(const net::CMessage& message);
    void End(const std::string& why, bool closeLink);
    void Describe();

    CNetLink& m_link;
    CRollbackSession m_session;
    EState m_state = EState::kIdle;
    bool m_linkOpen = false;
    bool m_joinSent = false;
    bool m_hosting = false;
    int m_seatsWanted = 1;
    std::uint64_t m_room = 0;
    CArena m_hostArena;
    // The tick this machine's seats start at, from the relay's welcome.
    std::uint32_t m_startTick = 0;
    bool m_welcomed = false;
    std::int64_t m_welcomedMs = 0;
    std::uint8_t m_givenSeats = 0;
    std::uint8_t m_welcomeHeld = 0;
    std::uint8_t m_welcomeHost = 0;
    // Messages that came between the welcome and the host's snapshot, replayed after it.
    std::vector<std::uint8_t> m_early;
    // Snapshots this machine owes as host: the ticks before joiners' first ticks.
    std::uint32_t m_snapshotsDue[net::kSeats] = {};
    int m_snapshotsDueCount = 0;
    bool m_resyncAsked = false;
    // Desyncs before this tick were mended by the last snapshot taken.
    std::uint32_t m_resyncedAt = 0;
    long m_desyncsSeen = 0;
    // Commands of a frame the game did not take, for the next one.
    std::uint8_t m_carry[net::kSeats] = {};
    // Each remote seat's newest input tick heard, for the time sync.
    std::uint32_t m_remoteNewest[net::kSeats] = {};
    // Delays on the way only ever add: the least lead and round trip over the last second or
    // two are the truest.
    int m_leadNow = INT32_MAX;
    int m_leadBefore = INT32_MAX;
    int m_quickestTrip = INT32_MAX;
    std::uint32_t m_soundedUpTo = 0;
    long m_frames = 0;
    std::int64_t m_nowMs = 0;
    std::int64_t m_nextPingMs = 0;
    std::int64_t m_lastHeardMs = 0;
    std::string m_status;
    COnlineStats m_stats;
    std::uint8_t m_buffer[net::kMaxMessage] = {};
    std::uint8_t m_snapshotBytes[net::kMaxSnapshotBytes] = {};
};
