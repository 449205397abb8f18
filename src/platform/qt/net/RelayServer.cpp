#include "platform/qt/net/RelayServer.h"

#include <QRandomGenerator>
#include <cstdio>

CRelayServer::CRelayServer(const char* name)
    : m_relay(*this, [] { return QRandomGenerator::system()->generate64(); }),
      m_name(name),
      m_server(QStringLiteral("Vexlor relay"), QWebSocketServer::NonSecureMode)
{
    m_clock.start();
    QObject::connect(&m_server, &QWebSocketServer::newConnection, &m_server, [this] { Accept(); });
    QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this] { m_relay.Poll(Now()); });
    m_poll.start(1000);
}

CRelayServer::~CRelayServer()
{
    for (const auto& [connection, socket] : m_sockets) {
        socket->disconnect();
        socket->abort();
        delete socket;
    }
}

bool CRelayServer::Listen(const QHostAddress& address, quint16 port, QString& error)
{
    if (m_server.listen(address, port))
        return true;
    error = QStringLiteral("cannot listen on %1 port %2: %3")
                .arg(address.toString())
                .arg(port)
                .arg(m_server.errorString());
    return false;
}

void CRelayServer::Accept()
{
    while (QWebSocket* socket = m_server.nextPendingConnection()) {
        const int connection = m_next++;
        m_sockets[connection] = socket;
        socket->setMaxAllowedIncomingMessageSize(net::kMaxMessage);
        socket->setMaxAllowedIncomingFrameSize(net::kMaxMessage);
        QObject::connect(socket, &QWebSocket::binaryMessageReceived, socket,
                         [this, connection](const QByteArray& bytes) {
                             const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
                             m_relay.Receive(connection, std::span(data, std::size_t(bytes.size())), Now());
                         });
        QObject::connect(socket, &QWebSocket::textMessageReceived, socket, [this, connection] {
            m_relay.Refuse(connection, "a text message; sessions speak binary");
        });
        QObject::connect(socket, &QWebSocket::disconnected, socket, [this, connection, socket] {
            socket->disconnect();
            m_sockets.erase(connection);
            m_relay.Closed(connection);
            socket->deleteLater();
        });
        m_relay.Open(connection, socket->peerAddress().toString().toStdString(), Now());
    }
}

// A peer that does not read what it is sent would have the relay hold ever more for it.
void CRelayServer::Send(int connection, std::span<const std::uint8_t> bytes)
{
    const auto found = m_sockets.find(connection);
    if (found == m_sockets.end() || found->second->state() != QAbstractSocket::ConnectedState)
        return;
    // The socket copies the message into its own buffer at once: no copy of our own is needed.
    found->second->sendBinaryMessage(
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    if (found->second->bytesToWrite() > kMaxBacklog) {
        // Later: the relay may be walking the room that this connection leaves.
        QTimer::singleShot(0, found->second, [this, connection] {
            m_relay.Refuse(connection, "more than 1 MB sent and not yet read");
        });
    }
}

void CRelayServer::Close(int connection, const std::string& why)
{
    const auto found = m_sockets.find(connection);
    if (found == m_sockets.end() || found->second->state() != QAbstractSocket::ConnectedState)
        return;
    if (!why.empty())
        std::fprintf(stderr, "%s: closing the connection from %s: %s\n", m_name,
                     found->second->peerAddress().toString().toUtf8().constData(), why.c_str());
    found->second->close(why.empty() ? QWebSocketProtocol::CloseCodeNormal
                                     : QWebSocketProtocol::CloseCodePolicyViolated);
}
