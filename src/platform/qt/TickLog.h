#pragma once
// With VEXLOR_TICK_LOG=path set, one line per timer tick goes to that file: the monotonic
// clock in nanoseconds. The measuring script reads tick rates and intervals from it.
// Each line is one write with no allocation, so the log is complete however the process
// ends. Header-only, so the bare floor window can use it without the game.
#include <charconv>
#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

class CTickLog
{
public:
    CTickLog()
    {
        const char* const path = std::getenv("VEXLOR_TICK_LOG");
        if (path != nullptr && *path != '\0')
            m_fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    ~CTickLog()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CTickLog(const CTickLog&) = delete;
    CTickLog& operator=(const CTickLog&) = delete;

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
