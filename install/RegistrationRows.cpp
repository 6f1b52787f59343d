// The names of everything an installation writes to the registry and the
// desktop.
#include "install/RegistrationRows.h"

const wchar_t kProductTitle[] = L"Lumidor 4.76 (32-bit)";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumidor";
const wchar_t kInstallRecordKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumidor\\InstallRecord";
const wchar_t kFormerDefaultsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumidor\\InstallRecord\\FormerDefaults";
const wchar_t* const kUninstallValueNames[kUninstallValueCount] = {
    L"DisplayName",    L"UninstallString", L"Publisher",    L"InstallLocation", L"DisplayVersion",
    L"DisplayIcon",    L"VersionMajor",    L"VersionMinor", L"EstimatedSize",   L"QuietUninstallString",
};
const wchar_t kViewerClassKey[] = L"SOFTWARE\\Classes\\Lumidor";
const wchar_t kApplicationKey[] = L"Applications\\lumi32.exe";
const wchar_t kApplicationRootKey[] = L"SOFTWARE\\Lumidor";
const wchar_t kCapabilitiesKey[] = L"SOFTWARE\\Lumidor\\Capabilities";
const wchar_t kApplicationDescriptionValue[] = L"ApplicationDescription";
const wchar_t kCapabilityAssociationsKey[] = L"SOFTWARE\\Lumidor\\Capabilities\\FileAssociations";
const wchar_t kRegisteredApplicationsKey[] = L"SOFTWARE\\RegisteredApplications";
const wchar_t kRegisteredApplicationName[] = L"Lumidor";
const wchar_t kOpenCommandSubkey[] = L"shell\\open\\command";

const wchar_t kBrowseVerb[] = L"Durchsuchen mit &Lumidor";
const wchar_t* const kBrowseVerbParents[kBrowseVerbParentCount] = {L"SOFTWARE\\Classes\\Directory\\shell",
                                                                   L"SOFTWARE\\Classes\\Drive\\shell"};

const DesktopLink kViewerDesktopLink = {L"Lumidor.lnk", L"Lumidor - Bildbetrachter", nullptr, 0};
const DesktopLink kThumbnailsDesktopLink = {L"Lumidor Thumbnails.lnk", L"Lumidor - Thumbnails", L"/thumbs", 7};

const wchar_t kStartMenuGroup[] = L"Lumidor";
