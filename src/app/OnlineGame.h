#pragma once
// COnlineGame: this program's part in an online session: the backend's link to a relay, the
// client over it, and what the player is told. A machine that opens a room prints one line
// on standard output, `vexlor: hosting ws://ADDRESS:PORT/ROOM`, once the relay has given the
// room; each new status that is news (a desync, the end) goes to standard error, one line.
//
// Addresses: "HOST[:PORT]/ROOM" joins that room; "HOST[:PORT]" opens a new room there. HOST
// is a name, an IPv4 address or an IPv6 one in brackets; PORT defaults to kDefaultPort.
#include <cstdint>
#include <optional>
#include <string>

#include "net/NetLink.h"
#include "net/OnlineClient.h"

struct CRelayAddress
{
    std::string m_host;
    std::uint16_t m_port = 0;
    // 0: open a new room.
    std::uint64_t m_room = 0;

    std::string Url() const;
};

class COnlineGame final : public CNetLinkListener
{
public:
    static constexpr std::uint16_t kDefaultPort = 7341;

    // False with one line of why.
    static bool ParseAddress(const std::string& text, CRelayAddress& address, std::string& error);
    // A port from the command line: 0 to 65535 (0: any free one).
    static bool ParsePort(const std::string& text, std::uint16_t& port, std::string& error);

    COnlineGame() = default;
    ~COnlineGame();
    COnlineGame(const COnlineGame&) = delete;
    COnlineGame& operator=(const COnlineGame&) = delete;

    // Opens the link and asks for `seats` seats: in the room of the address, or in a new one
    // (shownHost: the address the hosting line names), whose arena Host then gives. False
    // with why.
    bool Start(const CRelayAddress& address, const std::string& shownHost, int seats, std::string& error);
    bool AwaitsArena() const { return m_hostSeats > 0; }
    void Host(const CArena& arena);
    // One tick: the local players' inputs, keyboard player first. True when the game advanced.
    bool Frame(const std::uint8_t (&local)[net::kSeats]);
    // Leaves the room; the session ends once the relay has the leave.
    void Leave();

    bool Running() const { return m_client && m_client->State() != COnlineClient::EState::kEnded; }
    bool Playing() const { return m_client && m_client->State() == COnlineClient::EState::kPlaying; }
    COnlineClient& Client() { return *m_client; }
    const COnlineClient& Client() const { return *m_client; }
    // The status, when it changed since the last call, for the title; alarm when it tells of
    // a desync or of the end, news for standard error too.
    bool TakeNews(std::string& status, bool& alarm);

    // Set, the main window hears ID_ONLINE_NEWS when this machine's room is known and when the
    // session ends other than by leaving: the player who opened it by a dialog is told.
    bool m_tellPlayer = false;

    void LinkOpened() override { m_client->LinkOpened(); }
    void LinkReceived(std::span<const std::uint8_t> bytes) override { m_client->LinkReceived(bytes); }
    void LinkClosed(const std::string& why) override { m_client->LinkClosed(why); }

private:
    void Stop();

    CNetLink* m_link = nullptr;
    // Final, so that destroying it is plainly its own destructor's work (the listener's
    // destructor is not virtual).
    class CClient final : public COnlineClient
    {
    public:
        using COnlineClient::COnlineClient;
    };

    // Held in place: the client is large, and this object lives as long as the program.
    std::optional<CClient> m_client;
    // Set while the room is still to be announced.
    std::string m_announce;
    std::string m_told;
    int m_hostSeats = 0;
    long m_desyncsTold = 0;
};
