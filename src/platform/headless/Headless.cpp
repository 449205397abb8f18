// The backend of the programs that run the game without any window: the benchmarks, the
// soak, the fuzzer and the frame-for-frame driver. They drive a detached arena through its
// handlers; a window asked for here is not made, so CWnd::Create and LoadFrame fail.
#include "platform/wnd/Backend.h"

namespace backend {

CNativeWindow* CreateNativeWindow(CWnd&, const CREATESTRUCT&, CNativeWindow*) { return nullptr; }
void DestroyNativeWindow(CNativeWindow*) {}
void SetWindowTitle(CNativeWindow&, const std::string&) {}
void ShowNativeWindow(CNativeWindow&, bool) {}
bool IsNativeWindowVisible(const CNativeWindow&) { return false; }
CSize GetClientSize(const CNativeWindow&) { return {}; }
void SetClientSize(CNativeWindow&, CSize) {}
void ToggleFullScreen(CNativeWindow&) {}
void MoveNativeWindow(CNativeWindow&, const CRect&) {}
void InvalidateNativeWindow(CNativeWindow&) {}
void UpdateNativeWindow(CNativeWindow&) {}
bool StartTimer(CNativeWindow&, UINT_PTR, UINT) { return false; }
bool BeginPaint(CNativeWindow&) { return false; }
void EndPaint(CNativeWindow&) {}
void PutImage(CNativeWindow&, CPoint, const CBitmap&, const CRect&, const CRegion&) {}
void EraseBackground(CNativeWindow&) {}
void SetMenuBar(CNativeWindow&, const MenuTemplate&) {}
void PostCommand(CNativeWindow&, UINT, UINT) {}
void SetIcon(CNativeWindow&, const IconResource&) {}
int RunModalDialog(const DialogTemplate&, CDialog&, CNativeWindow*) { return 0; }
void SetFocus(CNativeWindow&) {}
CWnd* GetFocusWnd() { return nullptr; }
int RunEventLoop() { return 0; }
void QuitEventLoop(int) {}
void PlaySound(Effect, float) {}
void StopSounds() {}
void SetSoundOn(bool) {}
bool LoadOption(const char*, bool fallback) { return fallback; }
void SaveOption(const char*, bool) {}
void CheckMenuItem(CNativeWindow&, UINT, bool) {}

// These programs play alone.
CNetLink* OpenNetLink(const std::string&, CNetLinkListener&, std::string& error)
{
    error = "this program plays no online game";
    return nullptr;
}
void DestroyNetLink(CNetLink*) {}
bool StartRelay(std::uint16_t&, std::string&, std::string& error)
{
    error = "this program hosts no online game";
    return false;
}

}  // namespace backend
