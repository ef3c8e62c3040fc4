#include <windows.h>

#include <commctrl.h>

#include "ui/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    korvalis::MainWindow window;
    if (!window.Create(instance)) return 1;
    window.Show(showCommand);
    return window.Run();
}
