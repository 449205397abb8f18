// libFuzzer target: the decoder of the session's messages, as the relay and every machine
// run it on what arrives. Any bytes are refused with one line, or decoded into a message
// that encodes back to the same bytes; a snapshot is read whole or not at all, and input
// batches go to a rollback session, which takes them or says why not, and plays on. The
// same bytes reach a relay with a member in a room, and an online client in a game, as from
// their peers: each refuses them or takes them, and neither falls over.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "net/ArenaSnapshot.h"
#include "net/OnlineClient.h"
#include "net/Relay.h"
#include "net/RollbackSession.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& error)
{
    std::fprintf(stderr, "%s: '%s'\n", what, error.c_str());
    std::abort();
}

struct CNowhere final : CNetLink, CRelaySink
{
    void Send(std::span<const std::uint8_t>) override {}
    void Close() override {}
    void Send(int, std::span<const std::uint8_t>) override {}
    void Close(int, const std::string&) override {}
};

// The relay and the client as a fault leaves them: in a room, in a game, again.
void ToPeers(std::span<const std::uint8_t> bytes)
{
    static CNowhere nowhere;
    static CRelay relay(nowhere, [] { return std::uint64_t(7); });
    static COnlineClient client(nowhere);
    static CArena start = [] {
        CArena arena;
        arena.BeginSession(1u, 1'700'000'000);
        return arena;
    }();
    static std::int64_t now = 0;
    now += 1000;  // a join a second: within the relay's limit for one address
    const std::uint8_t join[] = {1, net::kProtocolVersion, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    relay.Open(1, "192.0.2.1", now);
    relay.Receive(1, join, now);
    relay.Receive(1, bytes, now);
    relay.Closed(1);
    if (client.State() != COnlineClient::EState::kPlaying) {
        client.Host(start, 1);
        client.LinkOpened();
        const std::uint8_t welcome[] = {2, 7, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1};
        client.LinkReceived(welcome);
    }
    client.LinkReceived(bytes);
    const std::uint8_t local[net::kSeats] = {kSeatFire};
    client.Frame(local, now);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ToPeers(std::span(data, size));
    static CRollbackSession* session = [] {
        static CArena start;
        start.BeginSession(1u, 1'700'000'000);
        start.m_size = CSize{640, 480};
        static CRollbackSession made;
        made.Begin(start, 0, 0b0001, 0b1111, 0b0001, 1);
        return &made;
    }();
    net::CMessage message;
    std::string error;
    if (!net::Decode(std::span(data, size), message, error)) {
        if (error.empty() || error.find('\n') != std::string::npos)
            Fail("a refusal that says nothing or spans lines", error);
        return 0;
    }
    static std::uint8_t again[net::kMaxMessage];
    if (net::Encode(message, again, sizeof again) != size || std::memcmp(again, data, size) != 0)
        Fail("a message that does not encode back to its bytes", error);
    if (message.m_type == net::EMessage::kSnapshot) {
        CArena arena = session->m_arena;
        const std::uint64_t before = arena.Hash();
        if (!net::ReadSnapshot(message.m_snapshot, arena, error) && arena.Hash() != before)
            Fail("a refused snapshot that changed the arena", error);
        for (int tick = 0; tick < 40; ++tick)
            arena.Step(CTickInput());
    }
    if (message.m_type == net::EMessage::kInput || message.m_type == net::EMessage::kRelayedInput) {
        if (!session->AddRemoteInput(message.m_batch, error) && error.empty())
            Fail("a batch refused without a reason", error);
        const std::uint8_t local[net::kSeats] = {kSeatFire};
        session->Frame(local);
    }
    return 0;
}
