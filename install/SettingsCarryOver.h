// Keeping the user's settings when an installation moves the settings file.
#pragma once

// Adds every key of the settings file from that the file to lacks, so that
// the viewer still reads all of them from the new place; the keys to has
// stay as they are, and from is left where it is. Both files end up in a
// form the viewer reads (to in UTF-16).
void CarryOverSettings(const wchar_t* from, const wchar_t* to);
