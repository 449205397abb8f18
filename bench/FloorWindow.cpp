// The floor the running game is measured against: a bare Qt window that shows a full
// 800 x 600 image 40 times a second and does nothing else. It draws the image the way
// the game puts a frame on the screen (one image drawn over the whole opaque widget
// per tick, from a precise 25 ms timer), so the difference is the game's own work.
//
// With VEXLOR_TICK_LOG=path set it writes one line per tick to that file: the
// monotonic clock in nanoseconds. It prints nothing.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <charconv>
#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kTickMilliseconds = 25;

// One line per tick, written at once with no allocation, so the log is complete however
// the process ends.
class TickLog
{
public:
    TickLog()
    {
        const char* const path = std::getenv("VEXLOR_TICK_LOG");
        if (path != nullptr && *path != '\0')
            m_fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    ~TickLog()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TickLog(const TickLog&) = delete;
    TickLog& operator=(const TickLog&) = delete;

    void Write() const
    {
        if (m_fd < 0)
            return;
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const long long nanoseconds = static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
        char line[32];
        char* const end = std::to_chars(line, line + sizeof line - 1, nanoseconds).ptr;
        *end = '\n';
        [[maybe_unused]] const ssize_t written = ::write(m_fd, line, static_cast<std::size_t>(end + 1 - line));
    }

private:
    int m_fd = -1;
};

class FloorWindow : public QWidget
{
public:
    FloorWindow() : m_image(kWidth, kHeight, QImage::Format_RGB32)
    {
        // Black like the arena, with a white block where its scoreboard labels stand,
        // so the first frame is found on the screen the same way for both programs.
        m_image.fill(Qt::black);
        QPainter painter(&m_image);
        painter.fillRect(10, 10, 60, 30, Qt::white);
        painter.end();

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
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    }

private:
    QImage m_image;
    QTimer m_timer;
    TickLog m_log;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    FloorWindow window;
    window.show();
    return application.exec();
}
