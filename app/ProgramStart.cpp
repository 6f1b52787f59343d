// The entry point of both programs, in place of the C runtime's start-up
// code: that code prepares what these programs never use (argv, wide and
// narrow; TLS callbacks; floating-point and pseudo-relocation set-up) and is
// a tenth of the setup program's own size. msvcrt.dll initialises itself;
// the constructors of static objects run through __main, and exit() runs
// their destructors and flushes what the runtime holds.
#include <windows.h>
#include <stdlib.h>

#include "app/CommandLine.h"

extern "C" void __main();
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

// __main hands the destructors of static objects to atexit, which the
// runtime's start-up code would otherwise have supplied: msvcrt's own table
// of the program, run by exit().
extern "C" int __cdecl atexit(void(__cdecl* function)(void)) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1;
}

extern "C" void __cdecl ProgramStart() {
    __main();
    wchar_t* arguments = const_cast<wchar_t*>(ArgumentsOf(GetCommandLineW()));
    // SW_SHOWDEFAULT: the first window takes what the starting program asked for.
    exit(wWinMain(GetModuleHandleW(nullptr), nullptr, arguments, SW_SHOWDEFAULT));
}
