#include "ContactsApp.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return orvalen::win32::CContactsApp(instance).Run();
}
