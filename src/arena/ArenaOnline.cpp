// The window's game online. Each tick the local players' inputs go to the session: the
// keyboard player's seat answers to the arrow keys and Enter as well as to its own keys,
// and the controllers take the machine's next seats, each on that seat's keys. Released
// switches become commands: P pauses for everyone, F1 to F4 switch the autopilot of this
// machine's own seats only, Page Up and Page Down act from the host only. The window draws
// the session's newest arena and sounds its confirmed ticks; news of the session goes to the
// title, and a desync or the end to standard error too. When the session ends, local play
// goes on from the arena as it stands.
#include <cstdio>
#include <cstdlib>

#include "app/ControllerSeats.h"
#include "app/OnlineGame.h"
#include "arena/ArenaView.h"
#include "platform/wnd/Keyboard.h"

namespace {

constexpr unsigned kPause = 'P';

// The seat whose autopilot a switch key toggles, or -1.
int AutopilotSeat(unsigned virtualKey)
{
    switch (virtualKey) {
    case VK_F1: return 0;
    case VK_F2: return 1;
    case VK_F3: return 2;
    case VK_F4: return 3;
    default: return -1;
    }
}

}  // namespace

bool CArenaView::OnlineTick()
{
    if (m_online->AwaitsArena()) {
        // The shared arena is this one as the window now shows it, on the session's clock.
        m_size = ClientArenaSize();
        m_online->Host(*this);
    }
    std::uint8_t local[CTickInput::kSeats] = {};
    const bool wasPlaying = m_online->Playing();
    if (wasPlaying)
        MakeOnlineInput(local);
    m_online->Frame(local);
    COnlineClient& client = m_online->Client();
    const bool ran = (m_online->Playing() || wasPlaying) && ShowSessionArena(client.Session().m_arena);
    if (m_online->Playing() && m_localPlayers == 0)
        SeatControllers(true);
    for (const CArena *before, *after; client.NextConfirmed(before, after);)
        PlaySounds(*before, *after);
    TellOnlineNews();
    if (m_leaveTicks >= 0 && (m_leaveTicks-- == 0 || !m_online->Running()))
        std::exit(0);
    if (!m_online->Running()) {
        m_online = nullptr;
        SeatControllers(false);
    }
    return ran;
}

// The session's newest arena becomes the window's; true when more than its clock differs
// from the one drawn (a re-run can change it while the game stands paused). A spark is
// drawn once for each hit: the session never draws, so the window takes its hit flags and
// clears them there. A paused game shows none, so that it looks the same everywhere
// however its frames fell.
bool CArenaView::ShowSessionArena(CArena& newest)
{
    bool sparks[kShipSlots];
    for (int i = 0; i < kShipSlots; ++i)
        sparks[i] = !newest.m_paused && (m_ships[i].m_hit || newest.m_ships[i].m_hit);
    m_clock = newest.m_clock;
    const bool changed = !(static_cast<const CArena&>(*this) == newest);
    Restore(newest);
    for (int i = 0; i < kShipSlots; ++i) {
        m_ships[i].m_hit = sparks[i];
        newest.m_ships[i].m_hit = false;
    }
    return changed;
}

void CArenaView::MakeOnlineInput(std::uint8_t (&local)[CTickInput::kSeats])
{
    CTickInput held;
    ReadHeldKeys(held);
    for (int player = 0; player < m_localPlayers; ++player)
        local[player] = held.m_seats[m_localSeats[player]];
    local[0] |= held.m_seats[0];

    // One command a player a tick; the others wait for the next.
    const bool host = m_online->Client().IsHost();
    CTickInput waiting;
    for (int i = 0; i < m_pendingInput.m_switchCount; ++i) {
        const unsigned key = m_pendingInput.m_switches[i];
        int player = 0;
        std::uint8_t command = net::kCommandNone;
        if (key == kPause)
            command = net::kCommandPause;
        else if (key == VK_PRIOR || key == VK_NEXT)
            command = !host ? net::kCommandNone : key == VK_PRIOR ? net::kCommandMoreShips : net::kCommandFewerShips;
        for (int p = 0; p < m_localPlayers && AutopilotSeat(key) >= 0; ++p)
            if (m_localSeats[p] == AutopilotSeat(key)) {
                player = p;
                command = net::kCommandAutopilot;
            }
        if (command == net::kCommandNone)
            continue;
        if ((local[player] >> net::kCommandShift) != 0)
            waiting.AddSwitch(std::uint8_t(key));
        else
            local[player] |= std::uint8_t(command << net::kCommandShift);
    }
    m_pendingInput = waiting;
}

// Online, the controllers take this machine's seats after the keyboard player's; the seats
// come from the relay, so the table is made once the session plays, and given back at its end.
void CArenaView::SeatControllers(bool online)
{
    m_localPlayers = 0;
    if (!online) {
        SetControllerSeats(g_controllerSeats, this, m_parent);
        return;
    }
    const std::uint8_t mine = m_online->Client().LocalSeats();
    for (int seat = 0; seat < CTickInput::kSeats; ++seat)
        if ((mine >> seat) & 1)
            m_localSeats[m_localPlayers++] = seat;
    for (int player = 1; player < m_localPlayers; ++player)
        m_onlineControllerSeats[player - 1] = g_controllerSeats[std::size_t(m_localSeats[player])];
    SetControllerSeats(std::span(m_onlineControllerSeats, std::size_t(std::max(m_localPlayers - 1, 0))), this,
                       m_parent);
}

void CArenaView::TellOnlineNews()
{
    std::string status;
    bool alarm = false;
    if (!m_online->TakeNews(status, alarm))
        return;
    if (m_parent != nullptr)
        m_parent->SetWindowText("Vexlor - " + status);
    if (alarm) {
        std::fprintf(stderr, "vexlor: %s\n", status.c_str());
        std::fflush(stderr);
    }
}
