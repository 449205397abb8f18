// The arena's window: its message table, its timer and where each tick's input comes from.
#include "arena/ArenaView.h"

#include <algorithm>

#include "arena/StateLog.h"
#include "replay/Replay.h"
#include "ships/Palette.h"

namespace {

// The largest arena side an input record carries.
constexpr int kMaxSide = 0xFFFF;

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

// The sounds start from the arena as built: copied, not built again, which would draw
// random numbers of its own.
CArenaView::CArenaView() : m_heard(static_cast<const CArena&>(*this))
{
    for (int i = 0; i < kShipSlots; ++i)
        m_palettePens[i].CreatePen(PS_SOLID, 1, kColourBlindPalette[i]);
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

void CArenaView::BeginSession(std::uint32_t seed, std::int32_t startSecond)
{
    CArena::BeginSession(seed, startSecond);
    m_pendingInput = CTickInput();
    m_heard = *this;
}

void CArenaView::OnShowWindow(bool, UINT)
{
    Default();
    SetTimer(kTimerId, kTickMilliseconds, nullptr);
}

void CArenaView::OnTimer(UINT_PTR)
{
    WriteStateLog(*this);
    bool ran;
    if (m_online != nullptr) {
        ran = OnlineTick();
    } else if (m_playback != nullptr) {
        ran = PlayBackTick();
    } else {
        const CTickInput input = TakeLocalInput();
        ran = Advance(input);
        if (m_recorder != nullptr)
            m_recorder->Record(input, *this);
    }
    if (ran)
        Invalidate(true);
    // Online, only confirmed ticks sound, as the session hands them over.
    if (m_online == nullptr)
        PlaySounds(m_heard, *this);
    m_heard = *this;
    Default();
}

CTickInput CArenaView::TakeLocalInput()
{
    CTickInput input = m_pendingInput;
    m_pendingInput = CTickInput();
    ReadHeldKeys(input);
    const CSize size = ClientArenaSize();
    if (size != m_size) {
        input.m_resize = true;
        input.m_width = std::uint16_t(size.cx);
        input.m_height = std::uint16_t(size.cy);
    }
    return input;
}

CSize CArenaView::ClientArenaSize() const
{
    CRect client;
    GetClientRect(&client);
    return CSize{std::min(client.Width(), kMaxSide), std::min(client.Height(), kMaxSide)};
}

// A replay that has run out stays paused on its last tick.
bool CArenaView::PlayBackTick()
{
    CTickInput input;
    if (!m_playback->Next(input)) {
        m_paused = true;
        return false;
    }
    const bool ran = Step(input);
    m_playback->Check(*this);
    return ran;
}
