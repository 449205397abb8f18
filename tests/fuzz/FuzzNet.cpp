// libFuzzer target: the decoder of the session's messages, as the relay and every machine
// run it on what arrives. Any bytes are refused with one line, or decoded into a message
// that encodes back to the same bytes; a snapshot is read whole or not at all, and input
// batches go to a rollback session, which takes them or says why not, and plays on.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "net/ArenaSnapshot.h"
#include "net/RollbackSession.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& error)
{
    std::fprintf(stderr, "%s: '%s'\n", what, error.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
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
