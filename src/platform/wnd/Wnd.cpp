#include "platform/wnd/Wnd.h"

#include <utility>

#include "platform/wnd/Backend.h"

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
    if (!PreCreateWindow(cs) || !AttachNative(cs, parent, id))
        return false;
    return SendCreate(cs);
}

bool CWnd::AttachNative(const CREATESTRUCT& cs, CWnd* parent, UINT id)
{
    m_parent = parent;
    m_id = id;
    m_style = cs.style;
    m_exStyle = cs.dwExStyle;
    m_classBackground = cs.systemBackground;
    m_native = backend::CreateNativeWindow(*this, cs, parent ? parent->m_native : nullptr);
    if (!m_native)
        return false;
    if (parent)
        m_nextSibling = std::exchange(parent->m_firstChild, this);
    return true;
}

bool CWnd::SendCreate(CREATESTRUCT& cs)
{
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return false;
    }
    if (!m_native)
        return false;
    if (cs.style & WS_VISIBLE)
        backend::ShowNativeWindow(*m_native, true);
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
    // native window that its parent's destruction takes with it.
    while (m_firstChild)
        if (!m_firstChild->DestroyWindow())
            m_firstChild->Unlink();
    Unlink();
    backend::DestroyNativeWindow(std::exchange(m_native, nullptr));
    return true;
}

void CWnd::Unlink()
{
    if (m_parent) {
        CWnd** link = &m_parent->m_firstChild;
        while (*link && *link != this)
            link = &(*link)->m_nextSibling;
        if (*link)
            *link = m_nextSibling;
    }
    m_parent = nullptr;
    m_nextSibling = nullptr;
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
        if (!m_native || !m_classBackground || !backend::BeginPaint(*m_native))
            return 0;
        backend::EraseBackground(*m_native);
        backend::EndPaint(*m_native);
        m_target.m_shown = nullptr;
        return 1;
    default:
        return 0;
    }
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

void CWnd::SetWindowText(const std::string& title)
{
    if (m_native)
        backend::SetWindowTitle(*m_native, title);
}

void CWnd::GetClientRect(CRect* rect) const
{
    if (!m_native) {
        *rect = m_detachedClient;
        return;
    }
    const CSize client = backend::GetClientSize(*m_native);
    *rect = CRect(0, 0, client.cx, client.cy);
}

void CWnd::SetClientSize(CSize size)
{
    if (m_native)
        backend::SetClientSize(*m_native, size);
}

void CWnd::Invalidate(bool erase)
{
    m_invalidated = true;
    if (erase)
        m_eraseRequested = true;
    if (m_native)
        backend::InvalidateNativeWindow(*m_native);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void*)
{
    m_timerId = id;
    m_timerElapse = elapse;
    ++m_timerStarts;
    if (m_native && !backend::StartTimer(*m_native, id, elapse))
        return 0;
    return id;
}

CDC* CWnd::GetDC()
{
    m_windowDC.m_target = m_native ? &m_target : nullptr;
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
    CWnd* const previous = backend::GetFocusWnd();
    backend::SetFocus(*m_native);
    return previous;
}

bool CWnd::ShowWindow(int command)
{
    if (!m_native)
        return false;
    const bool wasVisible = backend::IsNativeWindowVisible(*m_native);
    backend::ShowNativeWindow(*m_native, command != SW_HIDE);
    return wasVisible;
}

void CWnd::UpdateWindow()
{
    if (m_native)
        backend::UpdateNativeWindow(*m_native);
}

void CWnd::CWindowTarget::PutImage(int x, int y, int width, int height, const CBitmap& source, int sourceX,
                                   int sourceY)
{
    if (!m_wnd.m_native)
        return;
    const CPoint to(x, y);
    const CRect from(sourceX, sourceY, sourceX + width, sourceY + height);
    const bool whole = from == source.Bounds();
    // The window needs only what changed when it holds this very bitmap, put whole at the
    // same place; anything else is new to it.
    CRegion changed;
    if (whole && m_shown == &source && source.m_shownOn == this && source.m_shownAt == to) {
        source.m_changed.Add(source.m_drawn);
        source.m_changed.AddTo(changed);
    } else {
        changed.Add(from);
    }
    backend::PutImage(*m_wnd.m_native, to, source, from, changed);
    source.m_changed.Clear();
    source.m_shownOn = whole ? this : nullptr;
    source.m_shownAt = to;
    m_shown = whole ? &source : nullptr;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_wnd(wnd)
{
    if (wnd && wnd->m_native && backend::BeginPaint(*wnd->m_native))
        m_target = &wnd->m_target;
}

CPaintDC::~CPaintDC()
{
    if (m_target && m_wnd->m_native)
        backend::EndPaint(*m_wnd->m_native);
}

void NativeSize(CWnd& wnd, CSize client)
{
    wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MakeLParam(unsigned(client.cx), unsigned(client.cy)));
}

void NativePaint(CWnd& wnd)
{
    const bool erase = wnd.m_eraseRequested;
    wnd.m_invalidated = false;
    wnd.m_eraseRequested = false;
    if (erase) {
        CDC* const dc = wnd.GetDC();
        wnd.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        wnd.ReleaseDC(dc);
    }
    // The erase handler may have destroyed the window.
    if (wnd.m_native)
        wnd.SendMessage(WM_PAINT, 0, 0);
}

void NativeTimer(CWnd& wnd, UINT_PTR id)
{
    wnd.SendMessage(WM_TIMER, id, 0);
}

void NativeShow(CWnd& wnd, bool shown)
{
    wnd.SendMessage(WM_SHOWWINDOW, shown ? 1 : 0, 0);
}

void NativeFocusIn(CWnd& wnd)
{
    wnd.SendMessage(WM_SETFOCUS, 0, 0);
}

void NativeClose(CWnd& wnd)
{
    wnd.SendMessage(WM_CLOSE, 0, 0);
}

void NativeCommand(CWnd& wnd, UINT id, UINT source)
{
    wnd.SendMessage(WM_COMMAND, WPARAM(MakeLParam(id, source)), 0);
}
