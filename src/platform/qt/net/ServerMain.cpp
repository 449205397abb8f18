// vexlor-server: the relay of online sessions, with no window. Many rooms; it binds to
// the loopback address unless told otherwise.
#include <QCoreApplication>
#include <QHostAddress>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/qt/net/RelayServer.h"

namespace {

constexpr quint16 kDefaultPort = 7341;

int Usage(const char* why)
{
    std::fprintf(stderr, "vexlor-server: %s\nusage: vexlor-server [--port N] [--bind ADDRESS]\n", why);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    quint16 port = kDefaultPort;
    QHostAddress address(QHostAddress::LocalHost);
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || value < 0 || value > 65535)
                return Usage((std::string("not a port: ") + argv[i]).c_str());
            port = quint16(value);
        } else if (std::strcmp(argv[i], "--bind") == 0 && hasValue) {
            if (!address.setAddress(QString::fromLocal8Bit(argv[++i])))
                return Usage((std::string("not an address: ") + argv[i]).c_str());
        } else {
            return Usage((std::string("unknown option ") + argv[i]).c_str());
        }
    }
    QCoreApplication application(argc, argv);
    CRelayServer server("vexlor-server");
    QString error;
    if (!server.Listen(address, port, error)) {
        std::fprintf(stderr, "vexlor-server: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol ? "[" + address.toString() + "]"
                                                                              : address.toString();
    std::printf("vexlor-server: relaying on ws://%s:%u\n", host.toLocal8Bit().constData(), unsigned(server.Port()));
    std::fflush(stdout);
    return application.exec();
}
