#pragma once
// CWnd: a window with a message table. Once created it is backed by a native window of
// the backend (Backend.h); a CWnd that was never created is detached: its client
// rectangle is whatever a test sets, and invalidation and timers are only recorded. The
// whole game therefore runs headless through the same handlers.
#include <string>

#include "platform/gdi/DC.h"
#include "platform/gdi/Geometry.h"
#include "platform/wnd/MessageMap.h"

class CNativeWindow;
struct AcceleratorTable;

class CWnd : public CCmdTarget
{
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    const MessageMap* GetMessageMap() const override;
    virtual bool PreCreateWindow(CREATESTRUCT& cs);

    bool Create(const char* className, const char* windowName, DWORD style, const CRect& rect, CWnd* parent,
                UINT id, void* context = nullptr);
    bool DestroyWindow();
    bool IsCreated() const { return m_native != nullptr; }

    // Dispatches at once through the message table (or default processing).
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();

    void GetClientRect(CRect* rect) const;
    // A top-level window: its title.
    void SetWindowText(const std::string& title);
    // A top-level window: makes its client area this size, within the screen.
    void SetClientSize(CSize size);
    void Invalidate(bool erase = true);
    // The timer sends WM_TIMER with its id to this window; a timer procedure is not supported.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* timerProc);
    CDC* GetDC();
    int ReleaseDC(CDC* dc);
    CWnd* SetFocus();
    bool ShowWindow(int command);
    void UpdateWindow();

    // Detached mode: what a test sets and what a native window would have been asked.
    void SetDetachedClientSize(int width, int height) { m_detachedClient = CRect(0, 0, width, height); }
    CRect m_detachedClient;
    bool m_invalidated = false;
    bool m_eraseRequested = false;
    UINT_PTR m_timerId = 0;
    UINT m_timerElapse = 0;
    int m_timerStarts = 0;

    CNativeWindow* m_native = nullptr;
    CWnd* m_parent = nullptr;
    // The created children, linked through m_nextSibling, newest first.
    CWnd* m_firstChild = nullptr;
    CWnd* m_nextSibling = nullptr;
    UINT m_id = 0;
    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    bool m_classBackground = false;  // erasing fills the client area with the window colour
    // A frame's accelerators, which the keys of the frame and its children go through.
    const AcceleratorTable* m_accelerators = nullptr;

protected:
    static const MessageMap s_messageMap;

    // Creation in two steps, so that a frame can add its menu and accelerators in between:
    // the native window for cs (after PreCreateWindow), then WM_CREATE, which may fail it.
    bool AttachNative(const CREATESTRUCT& cs, CWnd* parent, UINT id);
    bool SendCreate(CREATESTRUCT& cs);

private:
    friend class CPaintDC;

    // Where the window's device contexts send their block copies.
    class CWindowTarget final : public CDCTarget
    {
    public:
        explicit CWindowTarget(CWnd& wnd) : m_wnd(wnd) {}
        void PutImage(int x, int y, int width, int height, const CBitmap& source, int sourceX, int sourceY) override;

        // The bitmap the window was last given, whole; null when it was something else.
        const CBitmap* m_shown = nullptr;

    private:
        CWnd& m_wnd;
    };

    void Unlink();

    struct CurrentMessage { UINT message; WPARAM wParam; LPARAM lParam; };
    CurrentMessage m_current{};
    CWindowTarget m_target{*this};
    CDC m_windowDC;
};

// Begins painting a window on construction and ends it on destruction; a block copy
// into it puts the source image on the window.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    CWnd* m_wnd;
};
