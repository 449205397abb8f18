#pragma once
// CQtNetLink: a client's link to a relay on a QWebSocket. It connects at once; binary
// messages go to the listener whole, and a close says why in a line a player can read: the
// relay's own reason, the socket's error, a text message where binary was due, or no answer
// within the time-out. After Close the listener hears only the close, with no why; once the
// link is destroyed, nothing.
#include <QTimer>
#include <QWebSocket>
#include <string>

#include "net/NetLink.h"

class CQtNetLink final : public CNetLink
{
public:
    static constexpr int kConnectTimeoutMs = 10'000;

    // url: ws://HOST:PORT/
    CQtNetLink(const QString& url, CNetLinkListener& listener, int timeoutMs = kConnectTimeoutMs);
    ~CQtNetLink();

    void Send(std::span<const std::uint8_t> bytes) override;
    void Close() override;

private:
    void Ended(const std::string& why);

    QString m_url;
    CNetLinkListener& m_listener;
    QWebSocket m_socket;
    QTimer m_timeout;
    // The first fault seen, which the close then reports.
    std::string m_fault;
    bool m_open = false;
    bool m_closing = false;
    bool m_ended = false;
};
