#include <windows.h>

#include "ui/application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    tarvex::runTool(instance);
}
