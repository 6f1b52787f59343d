// Resource identifiers of the uninstaller's own texts; those it shares with
// the setup program come from app/ResourceIds.h.
#pragma once

#define IDS_REMOVAL_QUESTION 101
#define IDS_REMOVAL_DONE 102
#define IDS_REMOVAL_PARTIAL 103
#define IDS_REMOVAL_VIEWER_RUNNING 104
#define IDS_NO_INSTALLATION 105
