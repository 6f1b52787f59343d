// The payload archive's entries, compiled in from the list the archive is
// built from: what an installation unpacked into its folder.
#pragma once

// Relative to the installation folder with "/" as in the archive; a folder
// ends in "/" and comes before its files.
extern const wchar_t* const kPayloadEntries[];
extern const int kPayloadEntryCount;
