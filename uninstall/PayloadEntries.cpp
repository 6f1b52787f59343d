// The payload archive's entries.
#include "uninstall/PayloadEntries.h"

const wchar_t* const kPayloadEntries[] = {
#include "payload/PayloadEntryList.inc"
};
const int kPayloadEntryCount = sizeof(kPayloadEntries) / sizeof(kPayloadEntries[0]);
