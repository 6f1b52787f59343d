// The choices of one installation, in the order the install driver takes them.
#pragma once

#include <stddef.h>
#include <wchar.h>

// Rows of the format catalogue, plus one slot only "/assoc=2" ever sets.
constexpr int kAssociationSlotCount = 66;
// Rows 0..50 of the catalogue are the image formats ("/assoc=1").
constexpr int kImagesOnlyRowCount = 51;

// The wizard's folder field is read with up to 519 characters; the driver
// refuses anything longer than a usable 259-character path.
constexpr size_t kTargetFolderChars = 520;
constexpr size_t kIniFolderChars = 260;
constexpr size_t kCaptionChars = 64;

extern const wchar_t kSetupTitle[];        // "Lumidor 32-bit Setup"
extern const wchar_t kDefaultIniFolder[];  // "%APPDATA%\Lumidor"

struct InstallOptions {
    wchar_t targetFolder[kTargetFolderChars];
    int startMenuGroup;
    int desktopShortcut;
    int thumbnailsShortcut;
    int allUsers;
    wchar_t iniFolder[kIniFolderChars];
    int associationRows[kAssociationSlotCount];
    int associateForAllUsers;
    int associationRequested;
    int silent;
    wchar_t messageCaption[kCaptionChars];
};
