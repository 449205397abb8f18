// The backend's online play: links on Qt WebSockets, and the relay that a hosting game runs
// inside itself.
#include <QNetworkInterface>
#include <memory>

#include "platform/qt/net/QtNetLink.h"
#include "platform/qt/net/RelayServer.h"
#include "platform/wnd/Backend.h"

namespace {

QString IPv4Addresses()
{
    QStringList addresses;
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            addresses.append(address.toString());
    return addresses.isEmpty() ? QStringLiteral("127.0.0.1") : addresses.join(QLatin1Char(' '));
}

}  // namespace

namespace backend {

CNetLink* OpenNetLink(const std::string& url, CNetLinkListener& listener, std::string& error)
{
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme() != QStringLiteral("ws") || parsed.host().isEmpty()) {
        error = "not a relay's address: " + url;
        return nullptr;
    }
    return new CQtNetLink(parsed.toString(), listener);
}

void DestroyNetLink(CNetLink* link)
{
    delete static_cast<CQtNetLink*>(link);
}

// One relay a program, for as long as it runs.
bool StartRelay(std::uint16_t& port, std::string& address, std::string& error)
{
    static std::unique_ptr<CRelayServer> relay;
    if (relay) {
        error = "this game hosts already";
        return false;
    }
    auto server = std::make_unique<CRelayServer>("vexlor");
    QString why;
    if (!server->Listen(QHostAddress::Any, port, why)) {
        error = why.toStdString();
        return false;
    }
    port = server->Port();
    address = IPv4Addresses().toStdString();
    relay = std::move(server);
    return true;
}

}  // namespace backend
