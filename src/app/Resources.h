#pragma once
// The shell's resources: menu, accelerators, strings, dialogs, icon and version record.
#include "platform/wnd/Resources.h"

extern const ResourceModule g_arenaResources;

struct VersionInfo
{
    unsigned fileVersion[4];
    const char* fileDescription;
    const char* fileVersionText;
    const char* internalName;
    const char* originalFilename;
    const char* productName;
    const char* productVersion;
};

extern const VersionInfo g_versionInfo;
