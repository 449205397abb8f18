#include "platform/wnd/FrameWnd.h"

#include "platform/wnd/Backend.h"
#include "platform/wnd/Resources.h"
#include "platform/wnd/WinApp.h"

namespace {

constexpr MessageEntry kEntries[] = {
    {WM_CREATE, 0, On::Create<CFrameWnd>},
    {WM_SETFOCUS, 0, On::SetFocus<CFrameWnd>},
    {WM_DESTROY, 0, On::Destroy<CFrameWnd>},
};

// The client size a frame gets when its creation asks for the default.
constexpr CSize kDefaultClientSize{800, 600};

}  // namespace

const MessageMap CFrameWnd::s_messageMap{&CWnd::s_messageMap, kEntries};

const MessageMap* CFrameWnd::GetMessageMap() const
{
    return &s_messageMap;
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CWnd::PreCreateWindow(cs))
        return false;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return true;
}

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, void*)
{
    if (m_native || (parent && !parent->m_native))
        return false;
    const char* const title = LoadString(resourceId);
    CREATESTRUCT cs;
    cs.lpszName = title ? title : "";
    cs.style = style;
    if (!PreCreateWindow(cs))
        return false;
    // A frame is always a top-level window, owned by parent when there is one.
    cs.style &= ~DWORD(WS_CHILD);
    if (!AttachNative(cs, parent, 0))
        return false;

    if (const MenuTemplate* const menu = FindMenu(resourceId))
        backend::SetMenuBar(*m_native, *menu);
    m_accelerators = FindAccelerators(resourceId);
    if (const IconResource* const icon = FindIcon(resourceId))
        backend::SetIcon(*m_native, *icon);
    if (cs.cx <= 0 || cs.cy <= 0)
        backend::SetClientSize(*m_native, kDefaultClientSize);

    if (!SendCreate(cs))
        return false;
    RecalcLayout();
    return true;
}

LRESULT CFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE)
        RecalcLayout();
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CFrameWnd::RecalcLayout()
{
    if (!m_native)
        return;
    CRect client;
    GetClientRect(&client);
    for (CWnd* child = m_firstChild; child; child = child->m_nextSibling) {
        if (child->m_id == AFX_IDW_PANE_FIRST && child->m_native)
            backend::MoveNativeWindow(*child->m_native, client);
    }
}

int CFrameWnd::OnCreate(const CREATESTRUCT*)
{
    return 0;
}

void CFrameWnd::OnSetFocus(CWnd*) {}

void CFrameWnd::OnDestroy()
{
    // The end of the main window is the end of the event loop.
    const CWinApp* const app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        backend::QuitEventLoop(0);
}

bool CFrameWnd::OnCmdMsg(UINT id)
{
    if (CWnd::OnCmdMsg(id))
        return true;
    CWinApp* const app = AfxGetApp();
    return app && app->OnCmdMsg(id);
}
