#include "app/MainFrame.h"

#include "app/ControllerSeats.h"
#include "app/Resource.h"

namespace {

constexpr MessageEntry kEntries[] = {
    {WM_CREATE, 0, On::Create<CMainFrame>},
    {WM_SETFOCUS, 0, On::SetFocus<CMainFrame>},
    {WM_CONTROLLERSEAT, 0, On::ControllerSeat<CMainFrame>},
};

}  // namespace

const MessageMap CMainFrame::s_messageMap{&CFrameWnd::s_messageMap, kEntries};

CMainFrame::~CMainFrame()
{
    // The seats' game window goes with the frame.
    SetControllerSeats({}, nullptr, nullptr);
}

const MessageMap* CMainFrame::GetMessageMap() const
{
    return &s_messageMap;
}

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs)) {
        return false;
    }
    cs.dwExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
    cs.classStyle = 0;
    cs.arrowCursor = false;
    cs.systemBackground = false;
    return true;
}

int CMainFrame::OnCreate(const CREATESTRUCT* cs)
{
    if (CFrameWnd::OnCreate(cs) == -1) {
        return -1;
    }
    // The first pane's id makes the frame stretch the view over its whole client area.
    if (!m_arenaView.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                            AFX_IDW_PANE_FIRST, nullptr)) {
        return -1;
    }
    SetControllerSeats(g_controllerSeats, &m_arenaView, this);
    m_options.Load(*this);
    m_arenaView.m_options = &m_options;
    return 0;
}

void CMainFrame::FitArena(CSize arena)
{
    // The view's sunken edge takes two pixels on every side.
    constexpr int kEdge = 2;
    SetClientSize(CSize{arena.cx + 2 * kEdge, arena.cy + 2 * kEdge});
}

void CMainFrame::OnSetFocus(CWnd*)
{
    // Key messages must always reach the arena.
    m_arenaView.SetFocus();
}

// Online, the session gives seats and their autopilots.
void CMainFrame::OnControllerSeat(int seat, bool taken)
{
    if (m_arenaView.m_online == nullptr)
        m_seatAutopilots.OnControllerSeat(m_arenaView, seat, taken);
}

bool CMainFrame::OnCmdMsg(UINT id)
{
    if (id == ID_GAME_SOUND) {
        m_options.ToggleSound();
        return true;
    }
    if (id == ID_GAME_PALETTE) {
        m_options.ToggleColourBlind();
        m_arenaView.Invalidate(true);
        return true;
    }
    if (m_arenaView.OnCmdMsg(id)) {
        return true;
    }
    return CFrameWnd::OnCmdMsg(id);
}
