// The names of everything an installation writes to the registry and the
// desktop. The setup program writes them and the uninstaller removes them,
// both from these rows.
#pragma once

// "Lumidor 4.76 (32-bit)": the uninstall entry's name and the uninstaller's title.
extern const wchar_t kProductTitle[];

// HKLM: the uninstall entry, and the installation's record inside it
// (install/InstallRecord.h).
extern const wchar_t kUninstallKey[];
extern const wchar_t kInstallRecordKey[];
extern const wchar_t kFormerDefaultsKey[];
// The uninstall entry's values, in write order: their names, and the index
// of each.
enum UninstallValue {
    kDisplayNameValue,
    kUninstallStringValue,
    kPublisherValue,
    kInstallLocationValue,
    kDisplayVersionValue,
    kDisplayIconValue,
    kVersionMajorValue,
    kVersionMinorValue,
    kEstimatedSizeValue,
    kQuietUninstallStringValue,
    kUninstallValueCount
};
extern const wchar_t* const kUninstallValueNames[kUninstallValueCount];

// HKLM: the viewer's own class and its open command.
extern const wchar_t kViewerClassKey[];
// HKCR: the application entry of lumi32.exe.
extern const wchar_t kApplicationKey[];
// HKLM: the application key whose Capabilities the Default Programs list names.
extern const wchar_t kApplicationRootKey[];
extern const wchar_t kCapabilitiesKey[];
extern const wchar_t kApplicationDescriptionValue[];
extern const wchar_t kCapabilityAssociationsKey[];
// HKLM: the list of registered applications and the viewer's value in it.
extern const wchar_t kRegisteredApplicationsKey[];
extern const wchar_t kRegisteredApplicationName[];

// Every key above that holds an open command keeps it in this subkey.
extern const wchar_t kOpenCommandSubkey[];

// "Durchsuchen mit &Lumidor" under the folders' and the drives' verbs (HKLM).
extern const wchar_t kBrowseVerb[];
constexpr int kBrowseVerbParentCount = 2;
extern const wchar_t* const kBrowseVerbParents[kBrowseVerbParentCount];

// The desktop links, by the choice that makes them.
struct DesktopLink {
    const wchar_t* linkName;
    const wchar_t* description;
    const wchar_t* arguments;  // may be null
    int iconIndex;             // 0: the target's own first icon
};
extern const DesktopLink kViewerDesktopLink;
extern const DesktopLink kThumbnailsDesktopLink;

// The start-menu group's folder name under the programs folder.
extern const wchar_t kStartMenuGroup[];
