#include "app/OnlineDlg.h"

#include <cctype>

#include "app/ArenaApp.h"
#include "app/Resource.h"
#include "net/Protocol.h"

namespace {

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

CHostOnlineDlg::CHostOnlineDlg(CArenaApp& app) : CDialog(IDD_HOST_ONLINE), m_app(app) {}

bool CHostOnlineDlg::OnOK()
{
    std::uint16_t port = 0;
    std::string error;
    if (COnlineGame::ParsePort(Trimmed(GetDlgItemText(IDC_PORT)), port, error) && m_app.HostOnline(port, error)) {
        m_app.m_online.m_tellPlayer = true;
        return true;
    }
    SetDlgItemText(IDC_MESSAGE, "Cannot host: " + error);
    return false;
}

CJoinOnlineDlg::CJoinOnlineDlg(CArenaApp& app) : CDialog(IDD_JOIN_ONLINE), m_app(app) {}

// Without a room code the relay opens a new room, as the command line's --join does.
bool CJoinOnlineDlg::OnOK()
{
    const std::string address = Trimmed(GetDlgItemText(IDC_ADDRESS));
    const std::string room = Trimmed(GetDlgItemText(IDC_ROOM));
    std::string error = "enter the host's address, HOST or HOST:PORT";
    if (!address.empty() && m_app.JoinOnline(room.empty() ? address : address + "/" + room, error)) {
        m_app.m_online.m_tellPlayer = true;
        return true;
    }
    SetDlgItemText(IDC_MESSAGE, "Cannot join: " + error);
    return false;
}

std::string OnlineMessage(const COnlineGame& online, const std::vector<std::string>& roomAddresses, bool hostedHere)
{
    std::string status = online.Client().Status();
    status[0] = char(std::toupper(static_cast<unsigned char>(status[0])));
    if (!online.Running())
        return status + ".\nLocal play goes on.";
    const std::uint64_t room = online.Client().Room();
    if (room == 0 || roomAddresses.empty())
        return status + ".\nThe game stays online until you quit.";
    std::string text = hostedHere ? "This game hosts, listening on every network interface of this machine.\n" : "";
    text += "Give friends one of these addresses:\n";
    for (const std::string& address : roomAddresses)
        text += address + net::RoomCode(room) + "\n";
    return text + "Room code: " + net::RoomCode(room);
}
