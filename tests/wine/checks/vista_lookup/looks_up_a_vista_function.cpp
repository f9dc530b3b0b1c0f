// A sample the looked-up-function check must reject (never built).
#include <windows.h>

void Sample() {
    GetProcAddress(GetModuleHandleW(L"kernel32"), "GetTickCount64");
}
