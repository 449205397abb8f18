// The relay over real WebSockets on 127.0.0.1: two machines meet in a room and one's input
// reaches the other; a connection that sends garbage gets an error and is closed while the
// room plays on.
#include <gtest/gtest.h>

#include <QSignalSpy>
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
            CMessage message;
            std::string error;
            if (Decode(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), message, error))
                m_received.push_back(message);
        });
        m_socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/").arg(port)));
    }
    bool Connected()
    {
        return QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, kWaitMs);
    }
    void Send(const CMessage& message)
    {
        std::uint8_t bytes[kMaxMessage];
        const auto size = qsizetype(Encode(message, bytes, sizeof bytes));
        m_socket.sendBinaryMessage(QByteArray(reinterpret_cast<const char*>(bytes), size));
    }
    // Waits for the next message of the type; null when none comes.
    const CMessage* Await(EMessage type)
    {
        const auto has = [&] {
            for (; m_seen < m_received.size(); ++m_seen)
                if (m_received[m_seen].m_type == type)
                    return true;
            return false;
        };
        return QTest::qWaitFor(has, kWaitMs) ? &m_received[m_seen++] : nullptr;
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
    ASSERT_TRUE(host.Connected() && guest.Connected());

    CMessage join;
    join.m_type = EMessage::kJoin;
    join.m_seatsWanted = 1;
    host.Send(join);
    const CMessage* welcome = host.Await(EMessage::kWelcome);
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->m_host);
    EXPECT_NE(welcome->m_room, 0u);
    join.m_room = welcome->m_room;
    guest.Send(join);
    welcome = guest.Await(EMessage::kWelcome);
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(welcome->m_seats, 0b0010);

    CMessage input;
    input.m_type = EMessage::kInput;
    input.m_batch = CInputBatch{1, 0, 8, 2, {kSeatLeft, kSeatFire}, 0};
    guest.Send(input);
    const CMessage* relayed = host.Await(EMessage::kRelayedInput);
    ASSERT_NE(relayed, nullptr);
    EXPECT_EQ(relayed->m_batch.m_lastTick, 8u);
    EXPECT_EQ(relayed->m_batch.m_inputs[1], kSeatFire);

    QSignalSpy closed(&guest.m_socket, &QWebSocket::disconnected);
    guest.m_socket.sendBinaryMessage(QByteArray("\x03\x07", 2));
    const CMessage* refusal = guest.Await(EMessage::kError);
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(refusal->m_text, "a message of type 3 and 2 bytes");
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed.count() == 1; }, kWaitMs));
    const CMessage* seats = host.Await(EMessage::kSeats);
    ASSERT_NE(seats, nullptr);
    EXPECT_EQ(seats->m_held, 0b0001);
    EXPECT_EQ(host.m_socket.state(), QAbstractSocket::ConnectedState);
}
