#pragma once
// CNativeWindow: the Qt widget behind a created CWnd. It turns Qt's events into the
// layer's Native* events and draws the images put on the window.
//
// The client area is the widget's contents rectangle: the widget less a frame's menu bar
// and less the edge that a child's border style draws. Child windows, painting and
// sizes all work in client coordinates.
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <vector>

#include "platform/wnd/Backend.h"
#include "platform/wnd/Wnd.h"

class QMenuBar;

class CNativeWindow final : public QWidget
{
    Q_OBJECT

public:
    // A top-level widget when parent is null; a child of parent's client area when cs
    // has WS_CHILD; otherwise a top-level owned by parent.
    CNativeWindow(CWnd* wnd, const CREATESTRUCT& cs, CNativeWindow* parent);
    ~CNativeWindow() override;

    QRect ClientRect() const;
    void SetMenuBar(QMenuBar* menuBar);
    // Wraps the pixels of source in m_image; made again only when the bitmap changes.
    void WrapImage(const CBitmap& source);

    // Menu items and accelerators deliver their command from the event loop, as a posted
    // message would, so that a command may destroy the window that sent it.
    void PostCommand(UINT id, UINT source);

    // Cuts the tie to the CWnd and deletes the widget: at once, or from the event loop when
    // one of our windows is in the middle of an event.
    void Dispose();

    CWnd* m_wnd;
    // Qt keeps the window's pixels in its backing store and puts on the screen only what a
    // paint event painted, which is all of the window only after a show or a resize. So a
    // frame the game asks for runs outside a paint event (m_inFrame), and each put of it
    // repaints at once just what changed, drawn from the put's image (m_put) or erased
    // (m_erasing). A paint event Qt starts itself (m_inPaintEvent) runs the paint message
    // inside it, and a put there covers all that Qt repaints.
    struct Put
    {
        const CBitmap* source = nullptr;
        CPoint to;
        CRect from;
    };
    bool m_framePending = false;
    bool m_inFrame = false;
    bool m_inPaintEvent = false;
    bool m_erasing = false;
    Put m_put;
    QRegion m_paintRegion;  // in client coordinates, while m_inPaintEvent

    struct Timer
    {
        UINT_PTR id;
        int qtId;
    };
    std::vector<Timer> m_timers;
    QMenuBar* m_menuBar = nullptr;
    const int m_edge;  // 2 for a client edge, 1 for a plain border, 0 for none
    QPainter m_painter;
    QImage m_image;

    // Counts the events of our windows being handled, so that Dispose never deletes a
    // widget under its own event.
    struct EventScope
    {
        EventScope() { ++s_eventDepth; }
        ~EventScope() { --s_eventDepth; }
        EventScope(const EventScope&) = delete;
        EventScope& operator=(const EventScope&) = delete;
    };

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void LayoutMenuBar();
    void DrawEdge();
    // Draws the part of the client area in region (client coordinates) from the put or
    // the erase that is under way.
    void Replay(const QRegion& region);

    static inline int s_eventDepth = 0;
};

// The CWnd behind a widget, or null when the widget is not one of ours.
CWnd* WndFromWidget(QObject* object);
