#include "platform/wnd/FrameWnd.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/FrameResources.h"
#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Resources.h"
#include "platform/wnd/WinApp.h"

namespace {

constexpr MessageEntry kEntries[] = {
    {WM_CREATE, 0, On::Create<CFrameWnd>},
    {WM_SETFOCUS, 0, On::SetFocus<CFrameWnd>},
};

// The client size a frame gets when its creation asks for the default.
constexpr QSize kDefaultClientSize(800, 600);

QSize DefaultFrameSize(const CNativeWindow& frame)
{
    const QMargins menuBar = frame.contentsMargins();
    const QSize size = kDefaultClientSize.grownBy(menuBar);
    const QScreen* const screen = QGuiApplication::primaryScreen();
    return screen ? size.boundedTo(screen->availableSize()) : size;
}

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
    AttachNative(cs, parent, 0);

    if (const MenuTemplate* const menu = FindMenu(resourceId))
        m_native->SetMenuBar(BuildMenuBar(*menu, m_native));
    if (const AcceleratorTable* const accelerators = FindAccelerators(resourceId))
        AddAccelerators(*accelerators, m_native);
    if (const IconResource* const icon = FindIcon(resourceId))
        m_native->setWindowIcon(BuildIcon(*icon));
    if (cs.cx <= 0 || cs.cy <= 0)
        m_native->resize(DefaultFrameSize(*m_native));

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
    const QRect client = m_native->ClientRect();
    for (QObject* const child : m_native->children()) {
        CWnd* const wnd = WndFromWidget(child);
        if (wnd && wnd->m_id == AFX_IDW_PANE_FIRST)
            static_cast<CNativeWindow*>(child)->setGeometry(client);
    }
}

int CFrameWnd::OnCreate(const CREATESTRUCT*)
{
    return 0;
}

void CFrameWnd::OnSetFocus(CWnd*) {}

bool CFrameWnd::OnCmdMsg(UINT id)
{
    if (CWnd::OnCmdMsg(id))
        return true;
    CWinApp* const app = AfxGetApp();
    return app && app->OnCmdMsg(id);
}
