#include "platform/qt/NativeWindow.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QTimerEvent>
#include <algorithm>
#include <qdrawutil.h>

#include "platform/qt/KeyInput.h"
#include "platform/qt/TickLog.h"

namespace {

// The shortest period the classic timer honours; Qt would run a 0 ms timer flat out.
constexpr UINT kMinimumTimerElapse = 10;

Qt::WindowFlags FlagsFor(const CREATESTRUCT& cs, const CNativeWindow* parent)
{
    if (parent && (cs.style & WS_CHILD))
        return Qt::Widget;
    return Qt::Window;
}

int EdgeFor(const CREATESTRUCT& cs, const CNativeWindow* parent)
{
    // A top-level window's border is the window manager's.
    if (!parent || !(cs.style & WS_CHILD))
        return 0;
    if (cs.dwExStyle & WS_EX_CLIENTEDGE)
        return 2;
    return (cs.style & WS_BORDER) ? 1 : 0;
}

}  // namespace

CNativeWindow::CNativeWindow(CWnd* wnd, const CREATESTRUCT& cs, CNativeWindow* parent)
    : QWidget(parent, FlagsFor(cs, parent)),
      m_wnd(wnd),
      m_systemBackground(cs.systemBackground),
      m_edge(EdgeFor(cs, parent))
{
    InstallKeyInput();
    // The window paints every pixel of its client area itself; Qt never clears it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setContentsMargins(m_edge, m_edge, m_edge, m_edge);
    if (cs.arrowCursor)
        setCursor(Qt::ArrowCursor);
    if (cs.lpszName)
        setWindowTitle(QString::fromUtf8(cs.lpszName));

    if (isWindow()) {
        if (cs.cx > 0 && cs.cy > 0)
            resize(cs.cx, cs.cy);
        if (cs.x != 0 || cs.y != 0)
            move(cs.x, cs.y);
    } else {
        setGeometry(QRect(parent->ClientRect().topLeft() + QPoint(cs.x, cs.y), QSize(cs.cx, cs.cy)));
    }
}

CNativeWindow::~CNativeWindow()
{
    if (m_wnd)
        m_wnd->m_native = nullptr;
}

QRect CNativeWindow::ClientRect() const
{
    const QRect client = contentsRect();
    return QRect(client.topLeft(), QSize(std::max(0, client.width()), std::max(0, client.height())));
}

void CNativeWindow::SetMenuBar(QMenuBar* menuBar)
{
    m_menuBar = menuBar;
    // The menu bar belongs to the window, not to a desktop-wide menu, so that the client
    // area below it is what the window layer computes.
    m_menuBar->setNativeMenuBar(false);
    m_menuBar->setAutoFillBackground(true);
    LayoutMenuBar();
}

void CNativeWindow::LayoutMenuBar()
{
    const int forWidth = m_menuBar->heightForWidth(width());
    const int height = forWidth > 0 ? forWidth : m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), height);
    setContentsMargins(0, height, 0, 0);
}

bool CNativeWindow::StartTimer(UINT_PTR id, UINT elapse)
{
    const int qtId = startTimer(int(std::max(elapse, kMinimumTimerElapse)), Qt::PreciseTimer);
    for (Timer& timer : m_timers) {
        if (timer.id == id) {
            killTimer(timer.qtId);
            timer.qtId = qtId;
            return qtId != 0;
        }
    }
    if (qtId != 0)
        m_timers.push_back(Timer{id, qtId});
    return qtId != 0;
}

CDCTarget* CNativeWindow::BeginPaint()
{
    if (!m_inPaintEvent)
        return nullptr;
    if (m_paintNesting++ == 0) {
        m_painter.begin(this);
        const QRect client = ClientRect();
        m_painter.translate(client.topLeft());
        m_painter.setClipRect(QRect(QPoint(0, 0), client.size()));
    }
    return this;
}

void CNativeWindow::EndPaint()
{
    if (m_paintNesting > 0 && --m_paintNesting == 0)
        m_painter.end();
}

void CNativeWindow::PutImage(int x, int y, int width, int height, const CBitmap& source, int sourceX, int sourceY)
{
    if (!m_painter.isActive() || !source.m_pixels || width <= 0 || height <= 0)
        return;
    const auto* const pixels = reinterpret_cast<const uchar*>(source.m_pixels.get());
    if (m_image.constBits() != pixels || m_image.width() != source.m_width || m_image.height() != source.m_height)
        m_image = QImage(pixels, source.m_width, source.m_height, source.m_width * 4, QImage::Format_RGB32);
    const QRect from = QRect(sourceX, sourceY, width, height).intersected(m_image.rect());
    if (from.isEmpty())
        return;
    m_painter.drawImage(QPoint(x + from.x() - sourceX, y + from.y() - sourceY), m_image, from);
}

bool CNativeWindow::EraseBackground()
{
    if (!m_systemBackground || !m_painter.isActive())
        return false;
    m_painter.fillRect(QRect(QPoint(0, 0), ClientRect().size()), palette().color(QPalette::Base));
    return true;
}

void CNativeWindow::PostCommand(UINT id, UINT source)
{
    QMetaObject::invokeMethod(
        this,
        [this, id, source] {
            if (m_wnd)
                m_wnd->SendMessage(WM_COMMAND, WPARAM(MakeLParam(id, source)), 0);
        },
        Qt::QueuedConnection);
}

void CNativeWindow::Dispose()
{
    m_wnd = nullptr;
    for (const Timer& timer : m_timers)
        killTimer(timer.qtId);
    m_timers.clear();
    if (m_painter.isActive())
        m_painter.end();
    m_paintNesting = 0;
    hide();
    if (s_eventDepth > 0)
        deleteLater();
    else
        delete this;
}

bool CNativeWindow::event(QEvent* event)
{
    const EventScope scope;
    return QWidget::event(event);
}

void CNativeWindow::DrawEdge()
{
    m_painter.begin(this);
    if (m_edge == 2) {
        qDrawWinPanel(&m_painter, rect(), palette(), true);
    } else {
        m_painter.setPen(Qt::black);
        m_painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    m_painter.end();
}

void CNativeWindow::paintEvent(QPaintEvent* event)
{
    if (!m_wnd)
        return;
    // Invalidation covers only the client area, so the edge is drawn only when the system
    // asks for more than that (exposure, resize), not on every frame.
    if (m_edge > 0 && !ClientRect().contains(event->rect()))
        DrawEdge();

    CWnd* const wnd = m_wnd;
    const bool erase = wnd->m_eraseRequested;
    wnd->m_invalidated = false;
    wnd->m_eraseRequested = false;
    m_inPaintEvent = true;
    if (erase) {
        BeginPaint();
        CDC* const dc = wnd->GetDC();
        wnd->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        wnd->ReleaseDC(dc);
        EndPaint();
    }
    if (m_wnd)
        wnd->SendMessage(WM_PAINT, 0, 0);
    // A paint handler that left its context open still ends painting here.
    if (m_painter.isActive())
        m_painter.end();
    m_paintNesting = 0;
    m_inPaintEvent = false;
}

void CNativeWindow::resizeEvent(QResizeEvent*)
{
    if (m_menuBar)
        LayoutMenuBar();
    if (m_wnd) {
        const QSize client = ClientRect().size();
        m_wnd->SendMessage(WM_SIZE, SIZE_RESTORED, MakeLParam(unsigned(client.width()), unsigned(client.height())));
    }
}

void CNativeWindow::showEvent(QShowEvent*)
{
    if (m_wnd)
        m_wnd->SendMessage(WM_SHOWWINDOW, 1, 0);
}

void CNativeWindow::hideEvent(QHideEvent*)
{
    if (m_wnd)
        m_wnd->SendMessage(WM_SHOWWINDOW, 0, 0);
}

void CNativeWindow::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (m_wnd)
        m_wnd->SendMessage(WM_SETFOCUS, 0, 0);
}

void CNativeWindow::timerEvent(QTimerEvent* event)
{
    // Found first and sent after the loop: the handler may start another timer.
    const auto timer = std::find_if(m_timers.begin(), m_timers.end(),
                                    [event](const Timer& t) { return t.qtId == event->timerId(); });
    if (timer != m_timers.end() && m_wnd) {
        static const CTickLog s_tickLog;
        s_tickLog.Write();
        m_wnd->SendMessage(WM_TIMER, timer->id, 0);
    }
}

void CNativeWindow::closeEvent(QCloseEvent* event)
{
    // The window decides: by default WM_CLOSE destroys it, which hides it.
    event->ignore();
    if (m_wnd)
        m_wnd->SendMessage(WM_CLOSE, 0, 0);
    else
        event->accept();
}

CWnd* WndFromWidget(QObject* object)
{
    const auto* const native = qobject_cast<CNativeWindow*>(object);
    return native ? native->m_wnd : nullptr;
}
