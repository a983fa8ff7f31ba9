#include <windows.h>

#include "win32/window/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    tav::InitCommonControlClasses();
    tav::MainWindowHost host(instance);
    host.Create();
    return tav::RunMessageLoop();
}
