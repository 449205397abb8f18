// The floor the running game is measured against: a bare Qt window that shows a full
// image of its own size 40 times a second and does nothing else. It draws the image the
// way the game used to put a frame on the screen (one image drawn over the whole opaque
// widget per tick, from a precise 25 ms timer), so the difference is the game's own work.
// The window is 800 x 600 unless -qwindowgeometry says otherwise; the image follows it.
//
// With VEXLOR_TICK_LOG=path set it writes one line per tick to that file: the
// monotonic clock in nanoseconds. It prints nothing.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <QWidget>

#include "platform/qt/TickLog.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kTickMilliseconds = 25;

class FloorWindow : public QWidget
{
public:
    FloorWindow()
    {
        setWindowTitle(QStringLiteral("Vexlor floor"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        resize(kWidth, kHeight);

        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kTickMilliseconds);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            m_log.Write();
            update();
        });
        m_timer.start();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        // Black like the arena, with a white block where its scoreboard labels stand,
        // so the first frame is found on the screen the same way for both programs.
        m_image = QImage(event->size(), QImage::Format_RGB32);
        m_image.fill(Qt::black);
        QPainter painter(&m_image);
        painter.fillRect(10, 10, 60, 30, Qt::white);
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    }

private:
    QImage m_image;
    QTimer m_timer;
    CTickLog m_log;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    FloorWindow window;
    window.show();
    return application.exec();
}
