// Resource identifiers of the setup program.
#pragma once

// String table.
#define IDS_CANCEL_CAPTION 1
#define IDS_FINISH_CAPTION 2
#define IDS_CANCEL_QUESTION 3
#define IDS_INVALID_FOLDER 5
#define IDS_FOLDER_LABEL 6
#define IDS_INSTALL_FAILED 7
#define IDS_FOLDER_DIALOG_TITLE 8
#define IDS_ASSOCIATION_QUESTION 9
#define IDS_VIEWER_RUNNING 10
#define IDS_CANNOT_CREATE_FOLDER 11

// Pictures.
#define IDI_SETUP 111
#define IDB_LOGO 113

// Data resources of our own types ("TXT", "ZIP").
#define IDR_RELEASE_NOTES 217
#define IDR_PAYLOAD 1974
