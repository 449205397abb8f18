#pragma once
// The line between the window layer and a backend.
//
// The window layer (CWnd, CFrameWnd, CDialog, CWinApp, the key table) is plain C++ and
// knows no toolkit. Each target links exactly one backend, which implements the functions
// of namespace backend below for its toolkit and owns main(). When the toolkit reports
// something, the backend calls the Native* functions at the end of this file; they turn
// it into the window's messages. A new backend is written from this header alone.
//
// Coordinates are pixels: a window's client area starts at (0, 0) below a frame's menu
// bar and inside a child's edge; a child window is placed in its parent's client area.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Geometry.h"
#include "platform/gdi/Region.h"
#include "platform/wnd/Controllers.h"
#include "platform/wnd/Messages.h"
#include "platform/wnd/Resources.h"
#include "sound/Effect.h"

class CDialog;
class CNetLink;
class CNetLinkListener;
class CWnd;
// The backend's own window; the layer only holds pointers to it.
class CNativeWindow;

namespace backend {

// --- Windows -----------------------------------------------------------------------------
// Makes the native window of wnd, hidden: a child of parent's client area when cs.style has
// WS_CHILD, otherwise a top-level window (owned by parent when there is one). A child with
// WS_EX_CLIENTEDGE gets a sunken edge 2 pixels wide, one with WS_BORDER a line 1 pixel wide.
CNativeWindow* CreateNativeWindow(CWnd& wnd, const CREATESTRUCT& cs, CNativeWindow* parent);
// Cuts the tie to its CWnd (no event reaches the CWnd after this) and destroys the window,
// from the event loop when one of our windows is in the middle of an event.
void DestroyNativeWindow(CNativeWindow* window);
// A top-level window's title.
void SetWindowTitle(CNativeWindow& window, const std::string& title);
// Shows the window (activating a top-level one) or hides it.
void ShowNativeWindow(CNativeWindow& window, bool show);
bool IsNativeWindowVisible(const CNativeWindow& window);
CSize GetClientSize(const CNativeWindow& window);
// A top-level window: makes its client area this size, kept within the screen (where the
// window is the browser's page, the page keeps the size the browser gives it).
void SetClientSize(CNativeWindow& window, CSize size);
// A top-level window: fills the screen with it (its menu bar stays), or when it fills the
// screen already, puts it back as it was; either way its client size follows (NativeSize).
void ToggleFullScreen(CNativeWindow& window);
// A child window: places it over rect of its parent's client area.
void MoveNativeWindow(CNativeWindow& window, const CRect& rect);
// Asks for a paint of the whole client area from the event loop.
void InvalidateNativeWindow(CNativeWindow& window);
// Paints at once what is invalid.
void UpdateNativeWindow(CNativeWindow& window);
// Starts the repeating timer id with this period in milliseconds, replacing one with the
// same id; each expiry calls NativeTimer. False when the toolkit has no timer to give.
bool StartTimer(CNativeWindow& window, UINT_PTR id, UINT elapse);

// --- Painting ----------------------------------------------------------------------------
// True only while the window is inside its paint event (NativePaint), where drawing works.
bool BeginPaint(CNativeWindow& window);
void EndPaint(CNativeWindow& window);
// Puts the pixels of from (in source) on the client area with from's top-left corner at to.
// The rectangle lies inside source; the window clips to its client area. Only the pixels of
// changed (in source, inside from) differ from what the window was last given there: the
// backend puts those and whatever else of from the window lost meanwhile (an expose it
// cannot restore itself, a resize, the first paint).
// A frame goes one way, arena to surface to window, inside the paint event; a put outside one
// goes through the toolkit's repaint, since a widget's backing store takes pixels only there.
void PutImage(CNativeWindow& window, CPoint to, const CBitmap& source, const CRect& from, const CRegion& changed);
// Fills the client area with the system's window colour.
void EraseBackground(CNativeWindow& window);

// --- A frame's resources -----------------------------------------------------------------
// The menu bar, above the client area; its items call NativeCommand with their id.
void SetMenuBar(CNativeWindow& frame, const MenuTemplate& menu);
void SetIcon(CNativeWindow& frame, const IconResource& icon);
// Calls NativeCommand with this command and source from the event loop, as a posted message
// would, so that a command may destroy the window that sent it.
void PostCommand(CNativeWindow& window, UINT id, UINT source);

// --- Dialogs, focus and the event loop ---------------------------------------------------
// Runs a modal dialog built from the template, owned by owner's window (or none), while
// timers and painting go on; returns the id of the button that ended it (IDOK, IDCANCEL)
// or 0 when it was closed otherwise. The owner has the keyboard focus back afterwards.
// The controls named in dialog.m_itemTexts show those texts; OK saves each edit's text
// there and asks dialog.OnOK whether to end, and if not shows m_itemTexts again.
// A backend that cannot wait inside a call (the browser's) shows the dialog, modal for the
// user until it ends, and returns 0 at once: DoModal then answers IDCANCEL and exchanges no
// data, so only a dialog whose caller ignores the answer may run there. There OK calls
// OnOK later only on a dialog with an edit, which must outlive DoModal.
int RunModalDialog(const DialogTemplate& dialog, CDialog& texts, CNativeWindow* owner);
void SetFocus(CNativeWindow& window);
// The window of ours that has the keyboard focus, or null.
CWnd* GetFocusWnd();
// Runs the event loop until QuitEventLoop; returns its status.
int RunEventLoop();
void QuitEventLoop(int status);

// --- Sound and the player's options ------------------------------------------------------
// Plays an effect from its start, panned from -1 (the far left) to +1 (the far right). A
// backend without a working audio device plays on silently.
void PlaySound(Effect effect, float pan);
// Ends every effect that is sounding.
void StopSounds();
// All sound on or off; off, nothing sounds until it is on again.
void SetSoundOn(bool on);
// A yes-or-no option of the player's, remembered between runs; fallback when it was never
// saved or cannot be read.
bool LoadOption(const char* name, bool fallback);
void SaveOption(const char* name, bool value);
// Shows a check mark beside the frame's menu item of this command, or takes it away.
void CheckMenuItem(CNativeWindow& frame, UINT command, bool checked);

// --- Online play -------------------------------------------------------------------------
// A link to the relay at url (ws://HOST:PORT/), connecting at once, whose events go to
// listener from the event loop; null with one line of why when there can be none.
CNetLink* OpenNetLink(const std::string& url, CNetLinkListener& listener, std::string& error);
// Frees a link; its listener hears nothing more.
void DestroyNetLink(CNetLink* link);
// Runs the relay of online sessions inside this program, on every interface, at port (0 for
// any free one, and then port answers the one it has); address answers what to give
// friends: the machine's IPv4 addresses other than loopback, separated by spaces, or
// 127.0.0.1. False with one line of why.
bool StartRelay(std::uint16_t& port, std::string& address, std::string& error);

}  // namespace backend

// --- Events the backend feeds in ---------------------------------------------------------
// A key went down or up on the keyboard; target is the window of ours with the focus, or
// null when a dialog, a menu or nothing of ours has it. The key table follows every key
// event of the application; the key message goes to target, or a key that is one of its
// frame's accelerators posts that command instead. True when target took it, and then the
// toolkit's own handling of the key should not happen.
bool NativeKey(CWnd* target, UINT virtualKey, std::uint32_t scanCode, bool pressed, bool autoRepeat);
// The keyboard went elsewhere (the focus left our windows, or another client grabbed it):
// every key is released.
void NativeKeyboardLost();
// The keyboard focus moved into one of our windows (true) or out of all of them, to a dialog,
// a menu, another program or nowhere (false). Controllers act only while it is in ours.
void NativeGameFocus(bool focused);
// A game controller of the standard layout was plugged in, or was there at start-up; id is
// the backend's, unique among those plugged in. With a seat (a seat's own controls, such as
// the page's touch controls) it takes only that one, and waits while another holds it.
void NativeControllerAdded(int id, int seat = -1);
void NativeControllerRemoved(int id);
void NativeControllerButton(int id, ControllerButton button, bool pressed);
// The position of a stick axis from -32768 (left, up) to 32767 (right, down).
void NativeControllerAxis(int id, ControllerAxis axis, int value);
// The backend learnt which physical keys are down (the keyboard came back, or moved between
// our windows): bit (n % 8) of down[n / 8] is set while the key of native scan code n is down,
// for n below scanCodes. Every key of the table whose physical key is up is released; none is
// pressed, since the key events of a key that went down meanwhile are still to come.
void NativeKeysDown(const std::uint8_t* down, std::size_t scanCodes);
void NativeSize(CWnd& wnd, CSize client);
// The window is painting (inside its paint event): the erase message when one was asked
// for, then the paint message.
void NativePaint(CWnd& wnd);
void NativeTimer(CWnd& wnd, UINT_PTR id);
void NativeShow(CWnd& wnd, bool shown);
void NativeFocusIn(CWnd& wnd);
// The user asked to close the window (its close box).
void NativeClose(CWnd& wnd);
// A menu item (source 0) or an accelerator (source 1) chose this command.
void NativeCommand(CWnd& wnd, UINT id, UINT source);
// The user opened a file in the page (its picker, or a drop); the application decides what
// it is. False with one line of why, for the backend to show, when it cannot use it.
bool NativeFileOpened(std::span<const std::uint8_t> bytes, std::string& error);
