#pragma once
// Helpers of the window-layer tests: a window that records its messages, a resource
// module of the tests' own, and waiting on a condition with a deadline.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <vector>

#include "platform/wnd/Resources.h"
#include "platform/wnd/Wnd.h"

namespace wndtest {

constexpr int kDeadlineMs = 5000;

template <class Condition>
bool WaitUntil(Condition condition)
{
    return QTest::qWaitFor(condition, kDeadlineMs);
}

struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class RecordingWnd : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_received.push_back(Received{message, wParam, lParam});
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<Received> Only(std::initializer_list<UINT> messages) const
    {
        std::vector<Received> result;
        for (const Received& r : m_received) {
            if (std::find(messages.begin(), messages.end(), r.message) != messages.end())
                result.push_back(r);
        }
        return result;
    }
    std::vector<Received> m_received;
};

class ScopedResourceModule
{
public:
    explicit ScopedResourceModule(const ResourceModule* module) : m_previous(AfxGetResourceModule())
    {
        AfxSetResourceModule(module);
    }
    ~ScopedResourceModule() { AfxSetResourceModule(m_previous); }
    ScopedResourceModule(const ScopedResourceModule&) = delete;
    ScopedResourceModule& operator=(const ScopedResourceModule&) = delete;

private:
    const ResourceModule* m_previous;
};

enum : UINT { kFrameId = 300, kDialogId = 301, kCommandFrame = 400, kCommandApp = 401, kCommandBoth = 402, kCommandDeep = 403 };

inline const MenuItemTemplate kSubmenu[] = {{"&Deep", kCommandDeep, {}}};
inline const MenuItemTemplate kGameMenu[] = {{"E&xit", ID_APP_EXIT, {}}};
inline const MenuItemTemplate kHelpMenu[] = {{"&More", 0, kSubmenu}, {"&App", kCommandApp, {}}};
inline const MenuItemTemplate kMenuBar[] = {{"&Game", 0, kGameMenu}, {"&Help", 0, kHelpMenu}};
inline const MenuTemplate kMenus[] = {{kFrameId, kMenuBar}};
inline const AcceleratorEntry kAccelerators[] = {
    {FVIRTKEY | FCONTROL, 'C', ID_EDIT_COPY},
    {FVIRTKEY | FSHIFT, VK_INSERT, ID_EDIT_PASTE},
    {FVIRTKEY, VK_F6, ID_NEXT_PANE},
};
inline const AcceleratorTable kAcceleratorTables[] = {{kFrameId, kAccelerators}};
inline const StringEntry kStrings[] = {{kFrameId, "Test Frame"}};
inline const DialogItemTemplate kDialogItems[] = {
    {DialogControl::Static, "Save && go &now", 7, 5, 100, 9, 0xFFFF, 0},
    {DialogControl::Static, "R&D", 7, 17, 100, 9, 0xFFFF, SS_NOPREFIX},
    {DialogControl::PushButton, "&Later", 7, 40, 40, 14, 77, 0},
    {DialogControl::DefPushButton, "OK", 76, 34, 50, 14, IDOK, 0},
};
inline const DialogTemplate kDialogs[] = {{kDialogId, "Test Dialog", "MS Shell Dlg", 8, 133, 55, kDialogItems}};
inline const std::uint32_t kIconPixels[16 * 16] = {};
inline const IconImage kIconImages[] = {{16, kIconPixels}};
inline const IconResource kIcons[] = {{kFrameId, kIconImages}};
inline const ResourceModule kModule{kMenus, kAcceleratorTables, kStrings, kDialogs, kIcons};

}  // namespace wndtest
