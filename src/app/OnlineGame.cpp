#include "app/OnlineGame.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/Resource.h"
#include "platform/wnd/Backend.h"
#include "platform/wnd/WinApp.h"
#include "platform/wnd/Wnd.h"

namespace {

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Letters, digits, dots and dashes: a name or an IPv4 address.
bool IsHostName(const std::string& host)
{
    if (host.empty() || host.size() > 253)
        return false;
    for (const char c : host)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-')
            return false;
    return true;
}

bool IsBracketedIPv6(const std::string& host)
{
    if (host.size() < 4 || host.front() != '[' || host.back() != ']')
        return false;
    for (std::size_t i = 1; i + 1 < host.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(host[i])) && host[i] != ':' && host[i] != '.')
            return false;
    return true;
}

}  // namespace

std::string CRelayAddress::Url() const
{
    return "ws://" + m_host + ":" + std::to_string(m_port) + "/";
}

bool COnlineGame::ParsePort(const std::string& text, std::uint16_t& port, std::string& error)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) || *end != '\0' || value > 65535) {
        error = "not a port: " + text + " (0 to 65535)";
        return false;
    }
    port = std::uint16_t(value);
    return true;
}

// The hosting line's "ws://" may come along when the address is passed on.
bool COnlineGame::ParseAddress(const std::string& given, CRelayAddress& address, std::string& error)
{
    const std::string text = given.starts_with("ws://") ? given.substr(5) : given;
    const std::size_t slash = text.find('/');
    const std::string hostPort = text.substr(0, slash);
    address.m_room = 0;
    if (slash != std::string::npos) {
        address.m_room = net::ParseRoomCode(text.substr(slash + 1));
        if (address.m_room == 0) {
            error = "not a room code: " + text.substr(slash + 1);
            return false;
        }
    }
    // The port follows the last colon outside an IPv6 address's brackets.
    const std::size_t colon = hostPort.rfind(':');
    const bool hasPort = colon != std::string::npos && hostPort.find(']', colon) == std::string::npos;
    address.m_host = hasPort ? hostPort.substr(0, colon) : hostPort;
    address.m_port = kDefaultPort;
    if (!IsHostName(address.m_host) && !IsBracketedIPv6(address.m_host)) {
        error = "not a relay's address: " + text + " (HOST[:PORT][/ROOM])";
        return false;
    }
    if (hasPort && (!ParsePort(hostPort.substr(colon + 1), address.m_port, error) || address.m_port == 0)) {
        error = "not a relay's port: " + text + " (1 to 65535)";
        return false;
    }
    return true;
}

COnlineGame::~COnlineGame()
{
    Stop();
}

void COnlineGame::Stop()
{
    // The link goes first: the client it reports to goes next.
    backend::DestroyNetLink(m_link);
    m_link = nullptr;
    m_client.reset();
}

bool COnlineGame::Start(const CRelayAddress& address, const std::string& shownHost, int seats, std::string& error)
{
    Stop();
    m_link = backend::OpenNetLink(address.Url(), *this, error);
    if (m_link == nullptr)
        return false;
    m_client.emplace(*m_link);
    m_client->SetNow(NowMs());
    m_announce.clear();
    m_told.clear();
    m_desyncsTold = 0;
    m_hostSeats = 0;
    if (address.m_room == 0) {
        m_announce = "ws://" + shownHost + ":" + std::to_string(address.m_port) + "/";
        m_hostSeats = seats;
    } else {
        m_client->Join(address.m_room, seats);
    }
    return true;
}

void COnlineGame::Host(const CArena& arena)
{
    m_client->Host(arena, m_hostSeats);
    m_hostSeats = 0;
}

bool COnlineGame::Frame(const std::uint8_t (&local)[net::kSeats])
{
    const bool ran = m_client->Frame(local, NowMs());
    const bool announce = !m_announce.empty() && m_client->Room() != 0;
    if (announce) {
        std::printf("vexlor: hosting %s%s\n", m_announce.c_str(), net::RoomCode(m_client->Room()).c_str());
        std::fflush(stdout);
        m_announce.clear();
    }
    const CWnd* const main = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
    if (m_tellPlayer && (announce || !Running()) && main && main->m_native) {
        m_tellPlayer = Running();
        backend::PostCommand(*main->m_native, ID_ONLINE_NEWS, 0);
    }
    return ran;
}

void COnlineGame::Leave()
{
    m_tellPlayer = false;
    if (Running())
        m_client->Leave();
}

bool COnlineGame::TakeNews(std::string& status, bool& alarm)
{
    if (!m_client || m_client->Status() == m_told)
        return false;
    m_told = m_client->Status();
    status = m_told;
    alarm = m_client->Stats().m_desyncs != m_desyncsTold || !Running();
    m_desyncsTold = m_client->Stats().m_desyncs;
    return true;
}
