#include "platform/wnd/Wnd.h"

#include <QApplication>
#include <QThread>
#include <utility>

#include "platform/qt/NativeWindow.h"
#include "platform/wnd/WinApp.h"

const MessageMap CWnd::s_messageMap{nullptr, {}};

LRESULT On::Default(CCmdTarget& t, WPARAM, LPARAM)
{
    return static_cast<CWnd&>(t).Default();
}

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    DestroyWindow();
}

const MessageMap* CWnd::GetMessageMap() const
{
    return &s_messageMap;
}

bool CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return true;
}

bool CWnd::Create(const char* className, const char* windowName, DWORD style, const CRect& rect, CWnd* parent,
                  UINT id, void*)
{
    if (m_native || (parent && !parent->m_native) || (!parent && (style & WS_CHILD)))
        return false;
    CREATESTRUCT cs;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = style;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.Width();
    cs.cy = rect.Height();
    if (!PreCreateWindow(cs))
        return false;
    AttachNative(cs, parent, id);
    return SendCreate(cs);
}

void CWnd::AttachNative(const CREATESTRUCT& cs, CWnd* parent, UINT id)
{
    m_parent = parent;
    m_id = id;
    m_style = cs.style;
    m_exStyle = cs.dwExStyle;
    m_native = new CNativeWindow(this, cs, parent ? parent->m_native : nullptr);
}

bool CWnd::SendCreate(CREATESTRUCT& cs)
{
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return false;
    }
    if (!m_native)
        return false;
    // A child without WS_VISIBLE stays hidden when its parent shows, as the style says.
    if (cs.style & WS_VISIBLE)
        m_native->show();
    else if (!m_native->isWindow())
        m_native->hide();
    return true;
}

bool CWnd::DestroyWindow()
{
    if (!m_native)
        return false;
    SendMessage(WM_DESTROY, 0, 0);
    if (!m_native)
        return true;
    // Children go first, each with its own WM_DESTROY, so that no CWnd is left holding a
    // widget that its parent's deletion takes with it.
    const QObjectList children = m_native->children();
    for (QObject* const child : children) {
        if (CWnd* const wnd = WndFromWidget(child))
            wnd->DestroyWindow();
    }
    std::exchange(m_native, nullptr)->Dispose();
    // The end of the main window is the end of the event loop. Qt remembers an exit asked for
    // with no loop running and would end the next modal loop at once, so only a running loop is asked.
    const CWinApp* const app = AfxGetApp();
    if (app && app->m_pMainWnd == this && QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
    return true;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CurrentMessage outer = m_current;
    m_current = CurrentMessage{message, wParam, lParam};
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCmdMsg(LoWord(LPARAM(wParam))))
            result = DefWindowProc(message, wParam, lParam);
    } else if (const MessageEntry* const entry = FindMessageEntry(GetMessageMap(), message, 0)) {
        result = entry->handler(*this, wParam, lParam);
    } else {
        result = DefWindowProc(message, wParam, lParam);
    }
    m_current = outer;
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_ERASEBKGND:
        return (m_native && m_native->EraseBackground()) ? 1 : 0;
    default:
        return 0;
    }
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

void CWnd::GetClientRect(CRect* rect) const
{
    if (!m_native) {
        *rect = m_detachedClient;
        return;
    }
    const QRect client = m_native->ClientRect();
    *rect = CRect(0, 0, client.width(), client.height());
}

void CWnd::Invalidate(bool erase)
{
    m_invalidated = true;
    if (erase)
        m_eraseRequested = true;
    if (m_native)
        m_native->update(m_native->ClientRect());
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void*)
{
    m_timerId = id;
    m_timerElapse = elapse;
    ++m_timerStarts;
    if (m_native && !m_native->StartTimer(id, elapse))
        return 0;
    return id;
}

CDC* CWnd::GetDC()
{
    m_windowDC.m_target = m_native;
    return &m_windowDC;
}

int CWnd::ReleaseDC(CDC* dc)
{
    if (dc != &m_windowDC)
        return 0;
    m_windowDC.m_target = nullptr;
    return 1;
}

CWnd* CWnd::SetFocus()
{
    if (!m_native)
        return nullptr;
    CWnd* const previous = WndFromWidget(QApplication::focusWidget());
    m_native->setFocus(Qt::OtherFocusReason);
    return previous;
}

bool CWnd::ShowWindow(int command)
{
    if (!m_native)
        return false;
    const bool wasVisible = !m_native->isHidden();
    if (command == SW_HIDE) {
        m_native->hide();
    } else {
        m_native->show();
        if (m_native->isWindow())
            m_native->activateWindow();
    }
    return wasVisible;
}

void CWnd::UpdateWindow()
{
    if (m_native)
        m_native->repaint();
}

CPaintDC::CPaintDC(CWnd* wnd) : m_wnd(wnd)
{
    if (wnd && wnd->m_native)
        m_target = wnd->m_native->BeginPaint();
}

CPaintDC::~CPaintDC()
{
    if (m_target && m_wnd->m_native)
        m_wnd->m_native->EndPaint();
}
