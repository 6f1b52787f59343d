// Resource identifiers that the install engine, the wizard and the
// uninstaller share: the German string table (wizard/Strings.rc) and the
// payload. The wizard's own (pages, controls, pictures) are in
// wizard/resource.h.
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
#define IDS_SETUP_RUNNING 12
// "%s": the files, one on each line.
#define IDS_FILES_NOT_REPLACED 13
// The entry of a log named with "/log=": program, version, command line,
// folder, Windows version code, message or items (each line ending in a line
// feed, or nothing), status.
#define IDS_RUN_LOG_ENTRY 14

// Data resources of our own types ("ZIP", "TXT").
#define IDR_PAYLOAD 1974
