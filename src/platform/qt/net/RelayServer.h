#pragma once
// CRelayServer: the relay's rooms (CRelay) on Qt WebSockets. Each connection gets a number;
// binary messages go to the relay as they come, a text message is refused, and the relay's
// time-outs are polled every second. Faults are named on standard error, one line each.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>
#include <map>

#include "net/Relay.h"

class CRelayServer : public CRelaySink
{
public:
    static constexpr qint64 kMaxBacklog = 1 << 20;

    // name begins each line on standard error.
    explicit CRelayServer(const char* name);
    ~CRelayServer();

    // False with one line of why when the address and port cannot be had.
    bool Listen(const QHostAddress& address, quint16 port, QString& error);
    quint16 Port() const { return m_server.serverPort(); }

    void Send(int connection, std::span<const std::uint8_t> bytes) override;
    void Close(int connection, const std::string& why) override;

    CRelay m_relay;

private:
    void Accept();
    std::int64_t Now() const { return m_clock.elapsed(); }

    const char* m_name;
    QWebSocketServer m_server;
    std::map<int, QWebSocket*> m_sockets;
    int m_next = 1;
    QTimer m_poll;
    QElapsedTimer m_clock;
};
