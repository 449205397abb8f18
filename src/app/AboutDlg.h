#pragma once
#include "app/Resource.h"
#include "platform/wnd/Dialog.h"

class CAboutDlg : public CDialog
{
public:
    CAboutDlg();
    ~CAboutDlg() override;

    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    static const MessageMap s_messageMap;
};
