#pragma once
// A frame's resources as Qt objects: the menu bar, the accelerators and the icon.
#include <QIcon>

#include "platform/wnd/Resources.h"

class CNativeWindow;
class QMenuBar;

// Menu items send WM_COMMAND with their command id to the frame; '&' marks a mnemonic.
QMenuBar* BuildMenuBar(const MenuTemplate& menu, CNativeWindow* frame);
// Each accelerator is a shortcut of the frame's window that sends WM_COMMAND with its id.
void AddAccelerators(const AcceleratorTable& table, CNativeWindow* frame);
QIcon BuildIcon(const IconResource& icon);
