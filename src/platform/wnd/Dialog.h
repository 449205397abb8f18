#pragma once
// CDialog: a modal dialog built from a dialog template (title, size and controls in
// dialog units). DoModal returns the id of the button that ended it.
#include <string>
#include <vector>

#include "platform/wnd/Wnd.h"

// Handed to DoDataExchange: once before the dialog shows (loading its controls) and once
// when OK ends it (saving them).
class CDataExchange
{
public:
    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

struct DialogItemText
{
    UINT id;
    std::string text;
};

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    const MessageMap* GetMessageMap() const override;

    virtual LRESULT DoModal();
    virtual void DoDataExchange(CDataExchange* dx);
    // OK was pressed, with the edits' texts saved here; true ends the dialog, false keeps it
    // open showing the texts as they are now (an error set in a static, say).
    virtual bool OnOK();

    // A control's text: set before the dialog shows, or while OnOK runs; the backend saves
    // each edit's text here when OK is pressed. A control never set reads "".
    void SetDlgItemText(UINT id, const std::string& text);
    std::string GetDlgItemText(UINT id) const;

    UINT m_templateId;
    CWnd* m_parentWnd;
    // The texts set, which override the template's, by control id.
    std::vector<DialogItemText> m_itemTexts;

protected:
    static const MessageMap s_messageMap;
};
