// Resource identifiers of the setup program: the wizard's own, and those it
// shares with the install engine and the uninstaller.
#pragma once

#include "app/ResourceIds.h"

// Pictures.
#define IDI_SETUP 111
#define IDB_LOGO 113

// The release notes (type "TXT").
#define IDR_RELEASE_NOTES 217

// Wizard pages, in sheet order: welcome, what's new, associations, ready, finish.
#define IDD_WELCOME 101
#define IDD_NOTES 108
#define IDD_ASSOCIATIONS 104
#define IDD_READY 109
#define IDD_FINISH 110

// Welcome page.
#define IDC_TARGET_FOLDER 1000
#define IDC_BROWSE 1009
#define IDC_DESKTOP_SHORTCUT 1011
#define IDC_START_MENU_GROUP 1012
#define IDC_WELCOME_HEADING 1013
#define IDC_CURRENT_USER 1016
#define IDC_ALL_USERS 1017
#define IDC_NO_SHORTCUTS 1019
#define IDC_THUMBNAILS_SHORTCUT 1021
#define IDC_LICENCE_LINK 1045
#define IDC_VERSION_LINE 1056

// What's-new page.
#define IDC_RELEASE_NOTES 1000

// Associations page.
#define IDC_ASSOCIATE_ALL_USERS 1037
#define IDC_SELECT_ALL 1080
#define IDC_SELECT_NONE 1081
#define IDC_IMAGES_ONLY 1091
#define IDC_FORMAT_LIST 1579
#define IDC_REGISTRY_ASSOCIATIONS 3311

// Ready page (1000, 1040 and 1042 stay hidden).
#define IDC_CUSTOM_INI_FOLDER 1000
#define IDC_READY_FOLDER 1010
#define IDC_READY_HEADING 1014
#define IDC_INI_PROGRAM_FOLDER 1038
#define IDC_INI_APPLICATION_DATA 1039
#define IDC_INI_CUSTOM 1040
#define IDC_HIDDEN_BROWSE 1042
#define IDC_INSTALLING_NOTICE 1044

// Finish page.
#define IDC_FINISH_HEADING 1015
#define IDC_START_VIEWER 1020
#define IDC_SHOW_FAQ 1022
