// The benchmark's lowest floor: a Wine process that does nothing, with no
// imports beyond the C runtime's own.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
