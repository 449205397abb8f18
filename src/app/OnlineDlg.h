#pragma once
// The Game menu's online dialogs. Host asks for the port and opens a session on it; Join asks
// for the relay's address and the room code and joins. Either stays open with the reason when
// that fails, the player's texts kept. OnlineMessage is what the message dialog says of the
// session: the room and its addresses, or how it ended.
#include <string>
#include <vector>

#include "platform/wnd/Dialog.h"

class CArenaApp;
class COnlineGame;

class CHostOnlineDlg : public CDialog
{
public:
    explicit CHostOnlineDlg(CArenaApp& app);
    bool OnOK() override;

    CArenaApp& m_app;
};

class CJoinOnlineDlg : public CDialog
{
public:
    explicit CJoinOnlineDlg(CArenaApp& app);
    bool OnOK() override;

    CArenaApp& m_app;
};

// roomAddresses: "ws://ADDRESS:PORT/" for each address friends may use, without the room.
std::string OnlineMessage(const COnlineGame& online, const std::vector<std::string>& roomAddresses, bool hostedHere);
