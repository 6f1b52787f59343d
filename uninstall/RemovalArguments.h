// The uninstaller's command line: "/silent", "/purge" and the copy's "/finish".
#pragma once

// The arguments after the program's own name, quoted or not.
const wchar_t* ArgumentsOf(const wchar_t* commandLine);

// Whether a switch is given as a word of its own, in any case.
bool HasSwitch(const wchar_t* arguments, const wchar_t* name);
