// Shortcuts, shell registration, uninstall entry, capabilities and the
// association pass.
#include "install/Registration.h"

#include "app/InstallOptions.h"
#include "app/SystemProbes.h"
#include "assoc/AssociationPass.h"
#include "install/PhaseMark.h"
#include "install/RegistrationRows.h"
#include "install/Shortcuts.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/Scoped.h"
#include "platform/Text.h"

namespace {

constexpr int kMajorVersion = 4;
constexpr int kMinorVersion = 76;
constexpr DWORD kEstimatedSizeKb = 6144;
// Commands hold a path of up to 259 characters plus quotes and arguments.
constexpr size_t kCommandChars = 520;

const wchar_t kApplicationDescription[] =
    L"Picture viewer, editor and converter - one of the most popular viewers worldwide";

// The texts every row is built from, all derived from the installation folder.
struct RegistrationTexts {
    wchar_t folder[kPathChars];
    wchar_t exe[kPathChars];
    wchar_t openCommand[kCommandChars];
    wchar_t browseCommand[kCommandChars];
    wchar_t applicationCommand[kCommandChars];
    wchar_t programIcon[kCommandChars];
};

void BuildTexts(const wchar_t* targetFolder, RegistrationTexts& texts) {
    wchar_t trimmed[kTargetFolderChars];
    CopyText(trimmed, targetFolder);
    TrimSpaces(trimmed);
    CopyText(texts.folder, trimmed);
    if (!EndsWithBackslash(texts.folder)) AppendText(texts.folder, L"\\");
    FormatText(texts.exe, kPathChars, L"%slumi32.exe", texts.folder);
    FormatText(texts.openCommand, kCommandChars, L"\"%s\" \"%%1\"", texts.exe);
    FormatText(texts.browseCommand, kCommandChars, L"\"%s\" \"%%1\" /thumbs", texts.exe);
    FormatText(texts.applicationCommand, kCommandChars, L"\"%s\"", texts.exe);
    FormatText(texts.programIcon, kCommandChars, L"%s,0", texts.exe);
}

void WriteBrowseVerbs(const RegistrationTexts& texts) {
    for (const wchar_t* parent : kBrowseVerbParents) {
        wchar_t verbKey[kCommandChars];
        FormatText(verbKey, kCommandChars, L"%s\\%s", parent, kBrowseVerb);
        SetDefaultValue(HKEY_LOCAL_MACHINE, verbKey, kBrowseVerb);
        wchar_t commandKey[kCommandChars];
        FormatText(commandKey, kCommandChars, L"%s\\command", verbKey);
        SetDefaultValue(HKEY_LOCAL_MACHINE, commandKey, texts.browseCommand);
    }
}

void WriteUninstallEntry(const RegistrationTexts& texts) {
    SetDefaultValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"");
    CScopedKey key;
    if (OpenKey(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_ALL_ACCESS, key) != ERROR_SUCCESS) return;

    wchar_t uninstallString[kCommandChars];
    FormatText(uninstallString, kCommandChars, L"\"%slu_uninstall.exe\"", texts.folder);
    // What deployment tools run to remove the program without a window.
    wchar_t quietUninstallString[kCommandChars];
    FormatText(quietUninstallString, kCommandChars, L"%s /silent", uninstallString);
    wchar_t displayVersion[16];
    FormatText(displayVersion, 16, L"%d.%d", kMajorVersion, kMinorVersion);

    // A text for each value, or null for a number.
    const wchar_t* valueTexts[kUninstallValueCount] = {kProductTitle, uninstallString, L"Orvendal", texts.folder,
                                                       displayVersion, texts.programIcon, nullptr, nullptr, nullptr,
                                                       quietUninstallString};
    const DWORD numbers[kUninstallValueCount] = {0, 0, 0, 0, 0, 0, kMajorVersion, kMinorVersion, kEstimatedSizeKb, 0};
    for (int i = 0; i < kUninstallValueCount; ++i) {
        if (valueTexts[i]) {
            SetStringValue(key.get(), kUninstallValueNames[i], valueTexts[i]);
        } else {
            SetDwordValue(key.get(), kUninstallValueNames[i], numbers[i]);
        }
    }
}

void WriteCapabilities(const RegistrationTexts& texts) {
    wchar_t commandKey[kCommandChars];
    FormatText(commandKey, kCommandChars, L"%s\\%s", kApplicationRootKey, kOpenCommandSubkey);
    SetDefaultValue(HKEY_LOCAL_MACHINE, commandKey, texts.applicationCommand);
    CScopedKey capabilities;
    if (CreateKey(HKEY_LOCAL_MACHINE, kCapabilitiesKey, capabilities) == ERROR_SUCCESS)
        SetStringValue(capabilities.get(), kApplicationDescriptionValue, kApplicationDescription);
    capabilities.reset();
    // Left empty: the association pass fills it.
    CScopedKey fileAssociations;
    CreateKey(HKEY_LOCAL_MACHINE, kCapabilityAssociationsKey, fileAssociations);
    fileAssociations.reset();
    CScopedKey registered;
    if (OpenKey(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, KEY_SET_VALUE, registered) == ERROR_SUCCESS)
        SetStringValue(registered.get(), kRegisteredApplicationName, kCapabilitiesKey);
}

}  // namespace

SystemFlags SystemFlagsFrom(DWORD platformId, DWORD major, DWORD minor) {
    bool nt = platformId == VER_PLATFORM_WIN32_NT;
    return {nt && major == 5 && minor >= 1 ? 1 : 0, nt && major >= 6 ? 1 : 0};
}

int RegistrationStep(int associationConfirmed, int associationRequested, const wchar_t* targetFolder,
                     int startMenuGroup, int desktopShortcut, int thumbnailsShortcut, int allUsers,
                     const int* associationRows, int associateForAllUsers, CRegistryChanges* changes) {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    SystemFlags flags = SystemFlagsFrom(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
    int systemVersionCode = CachedSystemVersionCode();

    RegistrationTexts texts;
    BuildTexts(targetFolder, texts);
    {
        // One apartment for all the links: each link's own would set COM up
        // and tear it down again.
        CComScope com;
        if (startMenuGroup) CreateStartMenuGroup(texts.folder, allUsers, systemVersionCode);
        if (desktopShortcut) CreateDesktopShortcut(texts.exe, kViewerDesktopLink, allUsers);
        if (thumbnailsShortcut) CreateDesktopShortcut(texts.exe, kThumbnailsDesktopLink, allUsers);
    }
    if (thumbnailsShortcut && flags.isVistaOrLater) WriteBrowseVerbs(texts);
    MARK_PHASE("shortcuts");

    wchar_t classCommandKey[kCommandChars];
    FormatText(classCommandKey, kCommandChars, L"%s\\%s", kViewerClassKey, kOpenCommandSubkey);
    wchar_t classIconKey[kCommandChars];
    FormatText(classIconKey, kCommandChars, L"%s\\DefaultIcon", kViewerClassKey);
    SetDefaultValue(HKEY_LOCAL_MACHINE, kViewerClassKey, L"Lumidor");
    SetDefaultValue(HKEY_LOCAL_MACHINE, classCommandKey, texts.openCommand);
    DeleteKey(HKEY_LOCAL_MACHINE, classIconKey);

    wchar_t applicationCommandKey[kCommandChars];
    FormatText(applicationCommandKey, kCommandChars, L"%s\\%s", kApplicationKey, kOpenCommandSubkey);
    SetDefaultValue(HKEY_CLASSES_ROOT, applicationCommandKey, texts.openCommand);
    {
        CScopedKey application;
        if (OpenKey(HKEY_CLASSES_ROOT, kApplicationKey, KEY_ALL_ACCESS, application) == ERROR_SUCCESS)
            SetStringValue(application.get(), L"FriendlyAppName", L"Lumidor 32-bit");
    }

    WriteUninstallEntry(texts);
    if (flags.isVistaOrLater) WriteCapabilities(texts);
    MARK_PHASE("viewer class, uninstall entry, capabilities");

    AssociationInputs inputs = {associationConfirmed, associationRequested, associationRows,
                                associateForAllUsers, flags.isXpFamily, flags.isVistaOrLater,
                                texts.exe, texts.openCommand, systemVersionCode, changes};
    AssociationPass(inputs);
    return 1;
}
