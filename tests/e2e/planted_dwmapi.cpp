// A stand-in dwmapi.dll that records being loaded: DllMain leaves a file
// "dwmapi-loaded" beside the DLL. It exports the one call Panorel makes of
// the real one, so a program that imported it would start and load it.
#include <windows.h>

namespace {

constexpr char MarkerName[] = "dwmapi-loaded";

void recordLoad(HINSTANCE module) {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\') --length;
    if (length == 0 || length + sizeof MarkerName > MAX_PATH) return;
    lstrcpyA(path + length, MarkerName);
    HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) recordLoad(module);
    return TRUE;
}

extern "C" __attribute__((dllexport)) HRESULT WINAPI DwmGetWindowAttribute(HWND, DWORD, PVOID, DWORD) {
    return E_NOTIMPL;
}
