// Sample uninstaller: tells the user how the viewer is removed.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    MessageBoxW(nullptr,
                L"Um Lumidor zu entfernen, beenden Sie Lumidor und löschen Sie den Programmordner "
                L"mit allen Dateien.\n\nIhre Einstellungen liegen in \"lumi32.ini\" im Programmordner "
                L"oder unter \"%APPDATA%\\Lumidor\".",
                L"Lumidor deinstallieren", MB_OK | MB_ICONINFORMATION);
    return 0;
}
