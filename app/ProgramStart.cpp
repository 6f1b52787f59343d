// The entry point of both programs, in place of the C runtime's start-up
// code: that code prepares what these programs never use (argv, wide and
// narrow; TLS callbacks; floating-point and pseudo-relocation set-up) and is
// a tenth of the setup program's own size. msvcrt.dll initialises itself;
// the constructors of static objects run from the linker's list here, and
// exit() runs their destructors and flushes what the runtime holds.
#include <windows.h>
#include <stdlib.h>

#include "app/CommandLine.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

// The linker's lists of static constructors and destructors: -1 first, the
// functions, then null.
extern "C" void (*__CTOR_LIST__[])();
extern "C" void (*__DTOR_LIST__[])();

// A static object's constructor hands its destructor to atexit, which the
// runtime's start-up code would otherwise have supplied: msvcrt's own table
// of the program, run by exit().
extern "C" int __cdecl atexit(void(__cdecl* function)(void)) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1;
}

// No object of these programs lives on the heap, but every class with a
// virtual destructor names operator delete in its table: this one, not the
// C++ runtime's (the same call to free, with unwind tables).
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }

namespace {

void __cdecl RunStaticDestructors() {
    for (int i = 1; __DTOR_LIST__[i]; ++i) __DTOR_LIST__[i]();
}

// What the runtime's __main does: the constructors last to first.
void RunStaticConstructors() {
    int count = 0;
    while (__CTOR_LIST__[count + 1]) ++count;
    for (int i = count; i >= 1; --i) __CTOR_LIST__[i]();
    atexit(RunStaticDestructors);
}

}  // namespace

extern "C" void __cdecl ProgramStart() {
    RunStaticConstructors();
    wchar_t* arguments = const_cast<wchar_t*>(ArgumentsOf(GetCommandLineW()));
    // SW_SHOWDEFAULT: the first window takes what the starting program asked for.
    exit(wWinMain(GetModuleHandleW(nullptr), nullptr, arguments, SW_SHOWDEFAULT));
}
