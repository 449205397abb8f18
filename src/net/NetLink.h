#pragma once
// CNetLink: one client's connection to a relay, as the online session sees it. A backend
// (Qt WebSockets on the desktop, emscripten's WebSocket in the browser) implements it and
// reports to a CNetLinkListener: the connection opened, a binary message came, it closed.
// Each message is one whole protocol message; the transport frames them.
#include <cstdint>
#include <span>
#include <string>

class CNetLinkListener
{
public:
    virtual void LinkOpened() = 0;
    virtual void LinkReceived(std::span<const std::uint8_t> bytes) = 0;
    // The connection is gone: why, for a person to read (empty after our own Close).
    virtual void LinkClosed(const std::string& why) = 0;

protected:
    ~CNetLinkListener() = default;
};

class CNetLink
{
public:
    virtual void Send(std::span<const std::uint8_t> bytes) = 0;
    virtual void Close() = 0;

protected:
    ~CNetLink() = default;
};
