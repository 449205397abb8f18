// The page's online play: a link to a relay on the browser's WebSocket, through emscripten's
// API. A page cannot listen for connections, so it hosts nothing.
#include <emscripten/websocket.h>

#include <string>

#include "net/NetLink.h"
#include "platform/wnd/Backend.h"

namespace {

class CWebNetLink final : public CNetLink
{
public:
    CWebNetLink(EMSCRIPTEN_WEBSOCKET_T socket, CNetLinkListener& listener) : m_socket(socket), m_listener(listener)
    {
        emscripten_websocket_set_onopen_callback(m_socket, this, Opened);
        emscripten_websocket_set_onmessage_callback(m_socket, this, Received);
        emscripten_websocket_set_onerror_callback(m_socket, this, Failed);
        emscripten_websocket_set_onclose_callback(m_socket, this, Closed);
    }
    ~CWebNetLink()
    {
        emscripten_websocket_close(m_socket, 1000, "");
        emscripten_websocket_delete(m_socket);
    }

    void Send(std::span<const std::uint8_t> bytes) override
    {
        if (m_open && !m_closing)
            emscripten_websocket_send_binary(m_socket, const_cast<std::uint8_t*>(bytes.data()), bytes.size());
    }
    void Close() override
    {
        m_closing = true;
        emscripten_websocket_close(m_socket, 1000, "");
    }

private:
    static EM_BOOL Opened(int, const EmscriptenWebSocketOpenEvent*, void* self)
    {
        auto& link = *static_cast<CWebNetLink*>(self);
        link.m_open = true;
        link.m_listener.LinkOpened();
        return EM_TRUE;
    }
    static EM_BOOL Received(int, const EmscriptenWebSocketMessageEvent* event, void* self)
    {
        auto& link = *static_cast<CWebNetLink*>(self);
        if (event->isText) {
            link.m_fault = "the relay sent a text message; sessions speak binary";
            emscripten_websocket_close(link.m_socket, 1003, "binary only");
        } else {
            link.m_listener.LinkReceived(std::span<const std::uint8_t>(event->data, event->numBytes));
        }
        return EM_TRUE;
    }
    // The browser tells a script nothing more of a failure than that it happened.
    static EM_BOOL Failed(int, const EmscriptenWebSocketErrorEvent*, void* self)
    {
        auto& link = *static_cast<CWebNetLink*>(self);
        if (link.m_fault.empty())
            link.m_fault = link.m_open ? "the connection to the relay broke" : "cannot reach the relay";
        return EM_TRUE;
    }
    static EM_BOOL Closed(int, const EmscriptenWebSocketCloseEvent* event, void* self)
    {
        auto& link = *static_cast<CWebNetLink*>(self);
        std::string why = link.m_fault;
        if (why.empty())
            why = event->reason[0] != '\0' ? std::string("the relay closed the connection: ") + event->reason
                                            : "the relay closed the connection";
        link.m_open = false;
        link.m_listener.LinkClosed(link.m_closing ? std::string() : why);
        return EM_TRUE;
    }

    EMSCRIPTEN_WEBSOCKET_T m_socket;
    CNetLinkListener& m_listener;
    std::string m_fault;
    bool m_open = false;
    bool m_closing = false;
};

}  // namespace

namespace backend {

CNetLink* OpenNetLink(const std::string& url, CNetLinkListener& listener, std::string& error)
{
    EmscriptenWebSocketCreateAttributes attributes;
    emscripten_websocket_init_create_attributes(&attributes);
    attributes.url = url.c_str();
    const EMSCRIPTEN_WEBSOCKET_T socket = emscripten_websocket_new(&attributes);
    if (socket <= 0) {
        error = "not a relay's address: " + url;
        return nullptr;
    }
    return new CWebNetLink(socket, listener);
}

void DestroyNetLink(CNetLink* link)
{
    delete static_cast<CWebNetLink*>(link);
}

bool StartRelay(std::uint16_t&, std::string&, std::string& error)
{
    error = "a page cannot host a game: host it from the desktop game or vexlor-server";
    return false;
}

}  // namespace backend
