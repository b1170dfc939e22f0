// Whether a contrast theme is on, for a test build of the game: Wine always says no. Linked in
// place of the game's import of SystemParametersInfoW, this answers SPI_GETHIGHCONTRAST from the
// user's setting where Windows keeps it, HKCU\Control Panel\Accessibility\HighContrast's Flags,
// and hands every other question to Windows unchanged. Everything else the game does is its own.
#include <windows.h>

#include <cwchar>

using SystemParametersInfoFunction = BOOL(WINAPI *)(UINT, UINT, PVOID, UINT);

extern "C" {
// The game's own import, which the linker's --wrap renames.
extern SystemParametersInfoFunction __real___imp_SystemParametersInfoW;
BOOL WINAPI contrastSeam(UINT action, UINT value, PVOID data, UINT flags);
SystemParametersInfoFunction __wrap___imp_SystemParametersInfoW = contrastSeam;
}

namespace {

// The flags as Windows stores them, a number in a string; none where the setting is missing.
DWORD storedFlags()
{
    wchar_t text[16] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Accessibility\\HighContrast", L"Flags",
                     RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return 0;
    return DWORD(std::wcstoul(text, nullptr, 10));
}

} // namespace

BOOL WINAPI contrastSeam(UINT action, UINT value, PVOID data, UINT flags)
{
    auto *theme = static_cast<HIGHCONTRASTW *>(data);
    if (action != SPI_GETHIGHCONTRAST || !theme || theme->cbSize != sizeof *theme)
        return __real___imp_SystemParametersInfoW(action, value, data, flags);
    theme->dwFlags = storedFlags();
    theme->lpszDefaultScheme = nullptr;
    return TRUE;
}
