// Desktop shortcuts and the start-menu group "Lumidor".
#include "install/Shortcuts.h"

#include <windows.h>

#include "platform/Folders.h"
#include "platform/Shell.h"
#include "platform/Text.h"

namespace {

constexpr int kMajorVersion = 4;
constexpr int kMinorVersion = 76;
// Links of earlier versions that a new group replaces.
const wchar_t* const kOldVersionLinks[] = {L"4.75", L"4.73"};

}  // namespace

// The help entry's format puts a second backslash after the folder; the shell
// resolves it to the "Help" subfolder.
const GroupEntry kGroupEntries[kGroupEntryCount] = {
    {nullptr, L"%slumi32.exe", nullptr, -1, false},  // "Lumidor 4.76.lnk", named by version
    {L"Lumidor - Thumbnails.lnk", L"%slumi32.exe", L"/thumbs", 7, false},
    {L"Lumidor deinstallieren.lnk", L"%slu_uninstall.exe", nullptr, -1, true},
    {L"\u00dcber Lumidor.lnk", L"%slm_about.txt", nullptr, -1, false},
    {L"Was ist neu.lnk", L"%slm_changes.txt", nullptr, -1, false},
    {L"Kommandozeilen-Optionen.lnk", L"%slm_options.txt", nullptr, -1, false},
    {L"Verf\u00fcgbare PlugIns.lnk", L"%slm_plugins.txt", nullptr, -1, false},
    {L"Verf\u00fcgbare Sprachen.lnk", L"%slm_languages.txt", nullptr, -1, false},
    {L"Lumidor Hilfe.lnk", L"%s\\help\\lumi32_deutsch.chm", nullptr, -1, false},
};

void GroupLinkName(const GroupEntry& entry, wchar_t* linkName) {
    if (entry.linkName) {
        CopyText(linkName, 64, entry.linkName);
    } else {
        FormatText(linkName, 64, L"Lumidor %d.%2d.lnk", kMajorVersion, kMinorVersion);
    }
}

int CreateDesktopShortcut(const wchar_t* exe, const DesktopLink& link, int allUsers) {
    wchar_t linkPath[kPathChars];
    GetSpecialFolderPath(DesktopFolderCsidl(allUsers), linkPath, kPathChars);
    if (!AppendText(linkPath, link.linkName)) return 0;
    ShellLinkFields fields = {exe, link.arguments, link.iconIndex ? exe : nullptr, link.iconIndex, link.description};
    return CreateShellLink(linkPath, fields);
}

int CreateFolderShortcut(const wchar_t* folder, const wchar_t* linkName, const wchar_t* target,
                         const wchar_t* arguments, const wchar_t* iconFile, int iconIndex) {
    wchar_t linkPath[kPathChars];
    if (!FormatText(linkPath, kPathChars, L"%s%s", folder, linkName)) return 0;
    ShellLinkFields fields = {target, arguments, iconFile, iconIndex, nullptr};
    return CreateShellLink(linkPath, fields);
}

void CreateStartMenuGroup(const wchar_t* installFolder, int allUsers, int systemVersionCode) {
    wchar_t group[kPathChars];
    GetSpecialFolderPath(ProgramsFolderCsidl(allUsers), group, kPathChars);
    AppendText(group, kStartMenuGroup);
    EnsureFolder(group);

    wchar_t exe[kPathChars];
    FormatText(exe, kPathChars, L"%slumi32.exe", installFolder);
    for (int i = 0; i < kGroupEntryCount; ++i) {
        const GroupEntry& entry = kGroupEntries[i];
        if (entry.uninstaller && !GroupHasUninstallEntry(systemVersionCode)) continue;
        wchar_t linkName[64];
        GroupLinkName(entry, linkName);
        wchar_t target[kPathChars];
        if (!FormatText(target, kPathChars, entry.targetFormat, installFolder)) continue;
        CreateFolderShortcut(group, linkName, target, entry.arguments, entry.iconIndex >= 0 ? exe : nullptr,
                             entry.iconIndex >= 0 ? entry.iconIndex : 0);

        // Right after the current version's link: the earlier versions' go.
        if (i == 0) {
            for (const wchar_t* version : kOldVersionLinks) {
                wchar_t oldLink[kPathChars];
                if (FormatText(oldLink, kPathChars, L"%sLumidor %s.lnk", group, version)) DeleteFileW(oldLink);
            }
        }
    }
}
