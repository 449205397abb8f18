// Construction of the arena and the order of one game tick.
#include "arena/ArenaView.h"
#include "arena/StateLog.h"

#include "core/RandomRange.h"

namespace {

constexpr COLORREF kShipColours[CArenaView::kShipSlots] = {
    0x0000FF,  // red
    0x00FF00,  // green
    0xFF0000,  // blue
    0x00C8C8,  // dark yellow
    0xC8C800,  // teal
    0xC800C8,  // purple
};

constexpr int kStartArea = 500;
constexpr int kSentryArea = 300;
constexpr double kStartHeadingX = 7.07;
// The sentry searches this far; beyond it the choice stays on slot 0.
constexpr int kSentrySearchRadius = 1000;

constexpr MessageEntry kArenaViewMessages[] = {
    {WM_PAINT, 0, On::Paint<CArenaView>},
    {WM_CHAR, 0, On::Default},
    {WM_TIMER, 0, On::Timer<CArenaView>},
    {WM_SHOWWINDOW, 0, On::ShowWindow<CArenaView>},
    {WM_KEYUP, 0, On::KeyUp<CArenaView>},
    {WM_KEYDOWN, 0, On::KeyDown<CArenaView>},
    {WM_KEYUP, 0, On::KeyUp<CArenaView>},  // never reached: the first key-up entry takes the message
    {WM_SIZE, 0, On::Size<CArenaView>},
    {WM_ERASEBKGND, 0, On::EraseBkgnd<CArenaView>},
};

}  // namespace

const MessageMap CArenaView::s_messageMap = {&CWnd::s_messageMap, kArenaViewMessages};

const MessageMap* CArenaView::GetMessageMap() const { return &s_messageMap; }

CArenaView::CArenaView()
{
    m_shipCount = 3;

    for (CShip& ship : m_ships) {
        const int y = RandomRange(1, kStartArea);
        const int x = RandomRange(1, kStartArea);
        ship.Respawn(x, y, 0.0, 0.0, kStartHeadingX, 0.0);
    }
    for (int i = 0; i < kShipSlots; ++i)
        m_ships[i].m_index = i;
    for (int i = 0; i < kShipSlots; ++i)
        m_ships[i].SetColour(kShipColours[i]);

    const int y = RandomRange(1, kSentryArea);
    const int x = RandomRange(1, kSentryArea);
    m_sentry.Place(CPoint(x, y), CPoint(0, 10), CSentry::kHitPoints);
    m_sentry.m_score = 0;

    m_ships[0].m_autopilot = false;
    m_paused = false;
}

CArenaView::~CArenaView()
{
    m_memBitmap.DeleteObject();
    m_memDC.DeleteDC();
}

bool CArenaView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CWnd::PreCreateWindow(cs))
        return false;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~WS_BORDER;
    cs.classStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    cs.arrowCursor = true;
    cs.systemBackground = true;
    return true;
}

void CArenaView::OnShowWindow(bool, UINT)
{
    Default();
    SetTimer(kTimerId, kTickMilliseconds, nullptr);
}

void CArenaView::OnTimer(UINT_PTR)
{
    WriteStateLog(*this);
    if (m_paused) {
        Default();
        return;
    }

    CRect client;
    GetClientRect(&client);

    for (int i = 0; i < m_shipCount; ++i)
        m_ships[i].Update(client);
    m_sentry.UpdateBullets(client);
    for (int i = 0; i < m_shipCount; ++i)
        m_explosions[i].Update(client);
    PollKeyboard();
    ResolveCombat();
    for (CPowerUp& powerUp : m_powerUps)
        powerUp.Update(client);
    if (m_sentry.m_autopilot)
        m_sentry.TrackTarget(m_ships[ChooseSentryTarget()]);
    for (int i = 0; i < m_shipCount; ++i)
        RunAutopilot(m_ships[i]);
    for (int i = 0; i < m_shipCount; ++i) {
        CShip& ship = m_ships[i];
        if (ship.m_boostTimer != 0)
            ship.m_boostTimer -= 1;
        if (ship.m_invulnerableTimer != 0)
            ship.m_invulnerableTimer -= 1;
    }
    Invalidate(true);
    Default();
}

// The nearest unboosted ship in play within the search radius, else slot 0. The running
// best keeps only the truncated distance, so a later ship must beat that whole number.
int CArenaView::ChooseSentryTarget() const
{
    int best = kSentrySearchRadius;
    int choice = 0;
    for (int i = 0; i < m_shipCount; ++i) {
        const double d = (m_sentry.m_position - m_ships[i].m_position).Length();
        if (d < best && m_ships[i].m_boostTimer <= 0) {
            best = TruncToInt(d);
            choice = i;
        }
    }
    return choice;
}

// A target outside the ships in play (or below 0), or the ship itself, costs the ship
// this tick: it picks again and does not steer.
void CArenaView::RunAutopilot(CShip& ship)
{
    if (!ship.m_autopilot)
        return;
    const int t = ship.m_target;
    if (t >= 0 && t < m_shipCount && t != ship.m_index)
        ship.SteerToward(m_ships[t]);
    else if (t == kSentryTarget)
        ship.SteerToward(m_sentry);
    else
        ship.m_target = ship.PickTarget();
}
