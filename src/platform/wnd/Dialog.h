#pragma once
// CDialog: a modal dialog built from a dialog template (title, size and controls in
// dialog units). DoModal returns the id of the button that ended it.
#include "platform/wnd/Wnd.h"

// Handed to DoDataExchange: once before the dialog shows (loading its controls) and once
// when OK ends it (saving them).
class CDataExchange
{
public:
    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    const MessageMap* GetMessageMap() const override;

    virtual LRESULT DoModal();
    virtual void DoDataExchange(CDataExchange* dx);

    UINT m_templateId;
    CWnd* m_parentWnd;

protected:
    static const MessageMap s_messageMap;
};
