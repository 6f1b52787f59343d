// The uninstaller's switches: "/silent" and "/purge".
#pragma once

// Whether a switch is given as a word of its own, in any case.
bool HasSwitch(const wchar_t* arguments, const wchar_t* name);
