// The relay over real WebSockets on 127.0.0.1: two machines meet in a room and one's input
// reaches the other; the relay's error reaches a connection before the server closes it,
// and only that one (what the relay refuses, and why, is the relay's own test's).
#include <gtest/gtest.h>

#include <QTest>
#include <QWebSocket>
#include <vector>

#include "arena/TickInput.h"
#include "platform/qt/net/RelayServer.h"

using namespace net;

namespace {

constexpr int kWaitMs = 20'000;  // generous: CI shares two cores

class CClient
{
public:
    explicit CClient(quint16 port)
    {
        QObject::connect(&m_socket, &QWebSocket::binaryMessageReceived, [this](const QByteArray& bytes) {
            std::string error;
            m_received.emplace_back();
            Decode(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), m_received.back(),
                   error);
        });
        m_socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/").arg(port)));
    }
    bool Is(QAbstractSocket::SocketState state)
    {
        return QTest::qWaitFor([&] { return m_socket.state() == state; }, kWaitMs);
    }
    void Send(const CMessage& message)
    {
        std::uint8_t bytes[kMaxMessage];
        const auto size = qsizetype(Encode(message, bytes, sizeof bytes));
        m_socket.sendBinaryMessage(QByteArray(reinterpret_cast<const char*>(bytes), size));
    }
    // The next message of the type, waited for; a blank one when none comes.
    CMessage Await(EMessage type)
    {
        const auto has = [&] {
            for (; m_seen < m_received.size(); ++m_seen)
                if (m_received[m_seen].m_type == type)
                    return true;
            return false;
        };
        return QTest::qWaitFor(has, kWaitMs) ? m_received[m_seen++] : CMessage();
    }

    QWebSocket m_socket;
    std::vector<CMessage> m_received;
    std::size_t m_seen = 0;
};

}  // namespace

TEST(RelayServer, MeetsInARoomForwardsInputAndClosesOnlyABadConnection)
{
    CRelayServer server("relay test");
    QString error;
    ASSERT_TRUE(server.Listen(QHostAddress::LocalHost, 0, error)) << error.toStdString();
    CClient host(server.Port());
    CClient guest(server.Port());
    ASSERT_TRUE(host.Is(QAbstractSocket::ConnectedState) && guest.Is(QAbstractSocket::ConnectedState));

    CMessage message;
    message.m_type = EMessage::kJoin;
    message.m_seatsWanted = 1;
    host.Send(message);
    message.m_room = host.Await(EMessage::kWelcome).m_room;
    ASSERT_NE(message.m_room, 0u);
    guest.Send(message);
    EXPECT_EQ(guest.Await(EMessage::kWelcome).m_seats, 0b0010);

    message.m_type = EMessage::kInput;
    message.m_batch = CInputBatch{1, 0, 8, 2, {kSeatLeft, kSeatFire}, 0};
    guest.Send(message);
    const CMessage relayed = host.Await(EMessage::kRelayedInput);
    EXPECT_EQ(relayed.m_batch.m_lastTick, 8u);
    EXPECT_EQ(relayed.m_batch.m_inputs[1], kSeatFire);

    guest.m_socket.sendBinaryMessage(QByteArray("\x03\x07", 2));
    EXPECT_EQ(guest.Await(EMessage::kError).m_type, EMessage::kError);
    EXPECT_TRUE(guest.Is(QAbstractSocket::UnconnectedState));
    EXPECT_EQ(host.m_socket.state(), QAbstractSocket::ConnectedState);
}
