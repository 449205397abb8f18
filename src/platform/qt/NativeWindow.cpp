// The Qt widget behind each window, and the backend's window, painting and event loop
// functions.
#include "platform/qt/NativeWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QThread>
#include <QTimerEvent>
#include <algorithm>
#include <qdrawutil.h>

#include "platform/qt/TickLog.h"
#include "platform/wnd/DialogLayout.h"

namespace {

// The shortest period the classic timer honours; Qt would run a 0 ms timer flat out.
constexpr UINT kMinimumTimerElapse = 10;

}  // namespace

CNativeWindow::CNativeWindow(CWnd* wnd, const CREATESTRUCT& cs, CNativeWindow* parent)
    : QWidget(parent, parent && (cs.style & WS_CHILD) ? Qt::Widget : Qt::Window),
      m_wnd(wnd),
      m_edge(WindowEdge(cs, !parent || !(cs.style & WS_CHILD)))
{
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
        // A child shows only when its window is shown, not with its parent.
        hide();
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

void CNativeWindow::WrapImage(const CBitmap& source)
{
    const auto* const pixels = reinterpret_cast<const uchar*>(source.m_pixels.get());
    if (m_image.constBits() != pixels || m_image.width() != source.m_width || m_image.height() != source.m_height)
        m_image = QImage(pixels, source.m_width, source.m_height, source.m_width * 4, QImage::Format_RGB32);
}

void CNativeWindow::Replay(const QRegion& region)
{
    if (m_erasing) {
        for (const QRect& r : region)
            m_painter.fillRect(r, palette().color(QPalette::Base));
        return;
    }
    const QRect target(m_put.to.x, m_put.to.y, m_put.from.Width(), m_put.from.Height());
    // One rectangle clipped at a time: under a clip of many rectangles the raster engine
    // blends span by span, spread over its thread pool, where it copies one rectangle.
    for (const QRect& r : region) {
        const QRect part = r & target;
        if (part.isEmpty())
            continue;
        m_painter.setClipRect(part);
        m_painter.drawImage(part.topLeft(), m_image,
                            part.translated(m_put.from.left - m_put.to.x, m_put.from.top - m_put.to.y));
    }
    // Qt repaints more than this put holds: the paint message draws all of it afresh.
    if (!(region - target).isEmpty())
        update(ClientRect());
}

void CNativeWindow::PostCommand(UINT id, UINT source)
{
    QMetaObject::invokeMethod(
        this,
        [this, id, source] {
            if (m_wnd)
                NativeCommand(*m_wnd, id, source);
        },
        Qt::QueuedConnection);
}

void CNativeWindow::Dispose()
{
    m_wnd = nullptr;
    for (const Timer& timer : m_timers)
        killTimer(timer.qtId);
    m_timers.clear();
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
    QPainter painter(this);
    if (m_edge == 2) {
        qDrawWinPanel(&painter, rect(), palette(), true);
    } else {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CNativeWindow::paintEvent(QPaintEvent* event)
{
    if (!m_wnd)
        return;
    // Invalidation covers only the client area, so the edge is drawn only when the system
    // asks for more than that (exposure, resize), not on every frame.
    if (m_edge > 0 && !ClientRect().contains(event->rect()))
        DrawEdge();
    const QRect client = ClientRect();
    const QRegion region = event->region().translated(-client.topLeft()) & QRect(QPoint(0, 0), client.size());
    m_painter.begin(this);
    m_painter.translate(client.topLeft());
    m_painter.setClipRect(QRect(QPoint(0, 0), client.size()));
    if (m_put.source || m_erasing) {
        Replay(region);
    } else {
        // Whatever frame was asked for is drawn now.
        m_framePending = false;
        m_paintRegion = region;
        m_inPaintEvent = true;
        NativePaint(*m_wnd);
        m_inPaintEvent = false;
    }
    if (m_painter.isActive())
        m_painter.end();
}

void CNativeWindow::resizeEvent(QResizeEvent*)
{
    if (m_menuBar)
        LayoutMenuBar();
    if (m_wnd) {
        const QSize client = ClientRect().size();
        NativeSize(*m_wnd, CSize{client.width(), client.height()});
    }
}

void CNativeWindow::showEvent(QShowEvent*)
{
    if (m_wnd)
        NativeShow(*m_wnd, true);
}

void CNativeWindow::hideEvent(QHideEvent*)
{
    if (m_wnd)
        NativeShow(*m_wnd, false);
}

void CNativeWindow::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (m_wnd)
        NativeFocusIn(*m_wnd);
}

void CNativeWindow::timerEvent(QTimerEvent* event)
{
    // Found first and sent after the loop: the handler may start another timer.
    const auto timer = std::find_if(m_timers.begin(), m_timers.end(),
                                    [event](const Timer& t) { return t.qtId == event->timerId(); });
    if (timer != m_timers.end() && m_wnd) {
        static const CTickLog s_tickLog;
        s_tickLog.Write();
        NativeTimer(*m_wnd, timer->id);
    }
}

void CNativeWindow::closeEvent(QCloseEvent* event)
{
    // The window decides: by default WM_CLOSE destroys it, which hides it.
    event->ignore();
    if (m_wnd)
        NativeClose(*m_wnd);
    else
        event->accept();
}

CWnd* WndFromWidget(QObject* object)
{
    const auto* const native = qobject_cast<CNativeWindow*>(object);
    return native ? native->m_wnd : nullptr;
}

namespace backend {

CNativeWindow* CreateNativeWindow(CWnd& wnd, const CREATESTRUCT& cs, CNativeWindow* parent)
{
    return new CNativeWindow(&wnd, cs, parent);
}

void DestroyNativeWindow(CNativeWindow* window)
{
    window->Dispose();
}

void ShowNativeWindow(CNativeWindow& window, bool show)
{
    if (!show) {
        window.hide();
        return;
    }
    window.show();
    if (window.isWindow())
        window.activateWindow();
}

bool IsNativeWindowVisible(const CNativeWindow& window)
{
    return !window.isHidden();
}

CSize GetClientSize(const CNativeWindow& window)
{
    const QSize client = window.ClientRect().size();
    return CSize{client.width(), client.height()};
}

void SetClientSize(CNativeWindow& window, CSize size)
{
    const QSize frame = QSize(size.cx, size.cy).grownBy(window.contentsMargins());
    const QScreen* const screen = QGuiApplication::primaryScreen();
    window.resize(screen ? frame.boundedTo(screen->availableSize()) : frame);
}

void ToggleFullScreen(CNativeWindow& window)
{
    // The other states (maximized) stay, so leaving full screen restores them too.
    window.setWindowState(window.windowState() ^ Qt::WindowFullScreen);
}

void MoveNativeWindow(CNativeWindow& window, const CRect& rect)
{
    const auto* const parent = static_cast<const CNativeWindow*>(window.parentWidget());
    const QPoint origin = parent ? parent->ClientRect().topLeft() : QPoint();
    window.setGeometry(QRect(origin + QPoint(rect.left, rect.top), QSize(rect.Width(), rect.Height())));
}

void InvalidateNativeWindow(CNativeWindow& window)
{
    if (window.m_framePending)
        return;
    window.m_framePending = true;
    QMetaObject::invokeMethod(&window, [&window] { UpdateNativeWindow(window); }, Qt::QueuedConnection);
}

void UpdateNativeWindow(CNativeWindow& window)
{
    if (!window.m_framePending)
        return;
    window.m_framePending = false;
    // A hidden window paints when it is shown, in the paint event of its show.
    if (!window.m_wnd || !window.isVisible())
        return;
    window.m_inFrame = true;
    NativePaint(*window.m_wnd);
    window.m_inFrame = false;
}

bool StartTimer(CNativeWindow& window, UINT_PTR id, UINT elapse)
{
    const int qtId = window.startTimer(int(std::max(elapse, kMinimumTimerElapse)), Qt::PreciseTimer);
    for (CNativeWindow::Timer& timer : window.m_timers) {
        if (timer.id == id) {
            window.killTimer(timer.qtId);
            timer.qtId = qtId;
            return qtId != 0;
        }
    }
    if (qtId != 0)
        window.m_timers.push_back(CNativeWindow::Timer{id, qtId});
    return qtId != 0;
}

bool BeginPaint(CNativeWindow& window)
{
    return window.m_inPaintEvent || window.m_inFrame;
}

// The painter spans the whole paint event, so there is nothing to end before it does.
void EndPaint(CNativeWindow&) {}

void PutImage(CNativeWindow& window, CPoint to, const CBitmap& source, const CRect& from, const CRegion& changed)
{
    if (!source.m_pixels || from.IsRectEmpty())
        return;
    const QRect client = window.ClientRect();
    QRegion region;
    for (int i = 0; i < changed.m_count; ++i) {
        const CRect& r = changed.m_rects[i];
        region += QRect(r.left - from.left + to.x, r.top - from.top + to.y, r.Width(), r.Height());
    }
    region &= QRect(QPoint(0, 0), client.size());
    if (window.m_inPaintEvent) {
        if (!window.m_painter.isActive())
            return;
        window.WrapImage(source);
        window.m_painter.drawImage(QPoint(to.x, to.y), window.m_image,
                                   QRect(from.left, from.top, from.Width(), from.Height()));
        // What changed outside the part Qt repaints now would stay stale on the screen.
        if (!(region - window.m_paintRegion).isEmpty())
            window.update(client);
        return;
    }
    if (region.isEmpty())
        return;
    window.WrapImage(source);
    window.m_put = CNativeWindow::Put{&source, to, from};
    window.repaint(region.translated(client.topLeft()));
    window.m_put = CNativeWindow::Put{};
}

void EraseBackground(CNativeWindow& window)
{
    const QRect client = window.ClientRect();
    if (window.m_inPaintEvent) {
        if (window.m_painter.isActive())
            window.m_painter.fillRect(QRect(QPoint(0, 0), client.size()), window.palette().color(QPalette::Base));
        return;
    }
    window.m_erasing = true;
    window.repaint(client);
    window.m_erasing = false;
}

int RunEventLoop()
{
    const int status = QApplication::exec();
    // Widgets destroyed from inside their own events were left for the event loop; it has ended.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}

void QuitEventLoop(int status)
{
    // Qt remembers an exit asked for with no loop running and would end the next modal loop
    // at once, so only a running loop is asked.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(status);
}

}  // namespace backend
