// Desktop shortcuts and the start-menu group "Lumidor".
#pragma once

#include <shlobj.h>

#include "install/RegistrationRows.h"

// Folders by the all-users choice.
inline int DesktopFolderCsidl(int allUsers) { return allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOP; }
inline int ProgramsFolderCsidl(int allUsers) { return allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS; }

// One entry of the start-menu group: the link name, its target as a format
// applied to the installation folder, arguments and icon (index into exe).
struct GroupEntry {
    const wchar_t* linkName;
    const wchar_t* targetFormat;
    const wchar_t* arguments;  // may be null
    int iconIndex;             // -1: the target's own icon
    bool uninstaller;          // left out where the system has no use for it
};

constexpr int kGroupEntryCount = 9;
extern const GroupEntry kGroupEntries[kGroupEntryCount];

// Windows 8 and 8.1 (version code 8) get no uninstall entry in the group.
inline bool GroupHasUninstallEntry(int systemVersionCode) { return systemVersionCode != 8; }

// The link name of a group entry in linkName[64]: its own, or "Lumidor 4.76.lnk".
void GroupLinkName(const GroupEntry& entry, wchar_t* linkName);

// 1 when the link was saved.
int CreateDesktopShortcut(const wchar_t* exe, const DesktopLink& link, int allUsers);
int CreateFolderShortcut(const wchar_t* folder, const wchar_t* linkName, const wchar_t* target,
                         const wchar_t* arguments, const wchar_t* iconFile, int iconIndex);

// The group folder with its entries; installFolder ends in a backslash.
void CreateStartMenuGroup(const wchar_t* installFolder, int allUsers, int systemVersionCode);
