#include "platform/qt/net/QtNetLink.h"

#include "net/Protocol.h"

CQtNetLink::CQtNetLink(const QString& url, CNetLinkListener& listener, int timeoutMs)
    : m_url(url), m_listener(listener)
{
    m_socket.setMaxAllowedIncomingMessageSize(net::kMaxMessage);
    m_socket.setMaxAllowedIncomingFrameSize(net::kMaxMessage);
    QObject::connect(&m_socket, &QWebSocket::connected, &m_socket, [this] {
        m_timeout.stop();
        m_open = true;
        m_listener.LinkOpened();
    });
    QObject::connect(&m_socket, &QWebSocket::binaryMessageReceived, &m_socket, [this](const QByteArray& bytes) {
        m_listener.LinkReceived(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), std::size_t(bytes.size())));
    });
    QObject::connect(&m_socket, &QWebSocket::textMessageReceived, &m_socket, [this] {
        m_fault = "the relay sent a text message; sessions speak binary";
        m_socket.abort();
    });
    QObject::connect(&m_socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), &m_socket, [this] {
        if (m_fault.empty())
            m_fault = (m_open ? "the connection to the relay broke: " : "cannot reach " + m_url.toStdString() + ": ") +
                      m_socket.errorString().toStdString();
    });
    QObject::connect(&m_socket, &QWebSocket::disconnected, &m_socket, [this] {
        const QString reason = m_socket.closeReason();
        if (m_fault.empty())
            m_fault = reason.isEmpty() ? "the relay closed the connection"
                                       : "the relay closed the connection: " + reason.toStdString();
        Ended(m_fault);
    });
    m_timeout.setSingleShot(true);
    QObject::connect(&m_timeout, &QTimer::timeout, &m_socket, [this, timeoutMs] {
        m_fault = "no answer from " + m_url.toStdString() + " within " + std::to_string(timeoutMs / 1000) + " s";
        m_socket.abort();
    });
    m_timeout.start(timeoutMs);
    m_socket.open(QUrl(url));
}

// Silent on the way out: nobody is left to hear.
CQtNetLink::~CQtNetLink()
{
    m_ended = true;
    m_socket.disconnect();
    m_socket.abort();
}

void CQtNetLink::Send(std::span<const std::uint8_t> bytes)
{
    if (!m_open || m_ended || m_closing)
        return;
    m_socket.sendBinaryMessage(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
}

void CQtNetLink::Close()
{
    if (m_ended || m_closing)
        return;
    m_closing = true;
    m_timeout.stop();
    if (m_socket.state() == QAbstractSocket::UnconnectedState)
        Ended({});
    else
        m_socket.close();
}

void CQtNetLink::Ended(const std::string& why)
{
    m_timeout.stop();
    m_open = false;
    if (m_ended)
        return;
    m_ended = true;
    m_listener.LinkClosed(m_closing ? std::string() : why);
}
