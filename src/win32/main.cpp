#include <windows.h>

#include "win32/system/instance_lock.h"
#include "win32/window/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // A second player on the same settings would overwrite the first one's at its close.
    tav::InstanceLock lock;
    if (!lock.Owned()) {
        lock.RaiseOwner();
        return 0;
    }
    tav::InitCommonControlClasses();
    tav::MainWindowHost host(instance);
    const HWND main = host.Create();
    lock.PublishWindow(main);
    return tav::RunMessageLoop(main);
}
