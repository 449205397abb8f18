#pragma once
// Message tables. Each window class has a static array of entries in the order its
// messages should be tried; a message goes to the first matching entry of the class,
// then of its bases, and otherwise to default processing. A command entry matches a
// command message with its id.
#include <cstddef>
#include <span>

#include "platform/wnd/Messages.h"

class CCmdTarget;
class CDC;
class CWnd;

using MessageHandler = LRESULT (*)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);

struct MessageEntry
{
    UINT message;
    UINT id;                 // command id for WM_COMMAND entries, 0 otherwise
    MessageHandler handler;
};

struct MessageMap
{
    const MessageMap* base;
    std::span<const MessageEntry> entries;
};

// First entry for (message, id) in map or its bases; null when none takes it.
const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, UINT id);

class CCmdTarget
{
public:
    virtual ~CCmdTarget() = default;
    virtual const MessageMap* GetMessageMap() const;
    // Offers a command to this target's table; true when a handler took it.
    virtual bool OnCmdMsg(UINT id);
};

// Adapters from the raw message to each handler's own arguments, one per message kind.
namespace On {
template <class T> LRESULT Paint(CCmdTarget& t, WPARAM, LPARAM) { static_cast<T&>(t).OnPaint(); return 0; }
template <class T> LRESULT Timer(CCmdTarget& t, WPARAM w, LPARAM) { static_cast<T&>(t).OnTimer(UINT_PTR(w)); return 0; }
template <class T> LRESULT ShowWindow(CCmdTarget& t, WPARAM w, LPARAM l) { static_cast<T&>(t).OnShowWindow(w != 0, UINT(l)); return 0; }
template <class T> LRESULT KeyDown(CCmdTarget& t, WPARAM w, LPARAM l) { static_cast<T&>(t).OnKeyDown(UINT(w), LoWord(l), HiWord(l)); return 0; }
template <class T> LRESULT KeyUp(CCmdTarget& t, WPARAM w, LPARAM l) { static_cast<T&>(t).OnKeyUp(UINT(w), LoWord(l), HiWord(l)); return 0; }
template <class T> LRESULT Size(CCmdTarget& t, WPARAM w, LPARAM l) { static_cast<T&>(t).OnSize(UINT(w), int(LoWord(l)), int(HiWord(l))); return 0; }
template <class T> LRESULT EraseBkgnd(CCmdTarget& t, WPARAM w, LPARAM) { return static_cast<T&>(t).OnEraseBkgnd(reinterpret_cast<CDC*>(w)) ? 1 : 0; }
template <class T> LRESULT Create(CCmdTarget& t, WPARAM, LPARAM l) { return static_cast<T&>(t).OnCreate(reinterpret_cast<const CREATESTRUCT*>(l)); }
template <class T> LRESULT SetFocus(CCmdTarget& t, WPARAM w, LPARAM) { static_cast<T&>(t).OnSetFocus(reinterpret_cast<CWnd*>(w)); return 0; }
template <class T> LRESULT Destroy(CCmdTarget& t, WPARAM, LPARAM) { static_cast<T&>(t).OnDestroy(); return 0; }
template <class T> LRESULT ControllerSeat(CCmdTarget& t, WPARAM w, LPARAM l) { static_cast<T&>(t).OnControllerSeat(int(w), l != 0); return 0; }
template <class T, void (T::*F)()> LRESULT Command(CCmdTarget& t, WPARAM, LPARAM) { (static_cast<T&>(t).*F)(); return 0; }
// The entry hands the message straight to default processing.
LRESULT Default(CCmdTarget& t, WPARAM w, LPARAM l);
}  // namespace On
