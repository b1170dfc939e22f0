// Reads the game's window as Windows itself knows it, for the tests: its controls' classes,
// texts, rectangles, scroll position and focus, and an open message box's title, text, buttons
// and where its icon stands on the screen.
//
//   probe window    the window and each control, one line each
//   probe box       the message box the window has open, if any
//
// Exits with 1 when the window (or the box) is not there, so a test can poll for it.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t GameTitle[] = L"Vir Urad Izuva?";

std::string utf8(const std::wstring &wide)
{
    if (wide.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string text(std::size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), text.data(), length, nullptr,
                        nullptr);
    return text;
}

std::string textOf(HWND window)
{
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return utf8(buffer);
}

std::string classOf(HWND window)
{
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return utf8(buffer);
}

HWND focusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

BOOL CALLBACK printControl(HWND control, LPARAM parent)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(parent), reinterpret_cast<POINT *>(&r), 2);
    std::printf("control %s \"%s\" %ld %ld %ld %ld", classOf(control).c_str(),
                textOf(control).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (classOf(control) == "ScrollBar") {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(control, SB_CTL, &info);
        std::printf(" pos %d range %d %d", info.nPos, info.nMin, info.nMax);
    }
    std::printf(" focus %d\n", focusOf(control) == control ? 1 : 0);
    return TRUE;
}

int printWindow(HWND window)
{
    // Until it is shown, the window may still be taking its size and filling its controls.
    if (!IsWindowVisible(window))
        return 1;
    RECT client;
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::printf("window \"%s\" %ld %ld %ld %ld enabled %d\n", textOf(window).c_str(), origin.x,
                origin.y, client.right, client.bottom, IsWindowEnabled(window) ? 1 : 0);
    EnumChildWindows(window, printControl, reinterpret_cast<LPARAM>(window));
    return 0;
}

struct BoxSearch {
    HWND owner;
    HWND box;
};

BOOL CALLBACK findBox(HWND window, LPARAM search)
{
    auto *s = reinterpret_cast<BoxSearch *>(search);
    if (classOf(window) == "#32770" && GetWindow(window, GW_OWNER) == s->owner &&
        IsWindowVisible(window)) {
        s->box = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK printBoxPart(HWND control, LPARAM)
{
    if (classOf(control) != "Static")
        return TRUE;
    if (GetWindowLongW(control, GWL_STYLE) & SS_ICON) {
        // Icon handles cannot be compared across processes; the test looks at its pixels.
        RECT r;
        GetWindowRect(control, &r);
        std::printf("icon %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (!textOf(control).empty()) {
        std::printf("text \"%s\"\n", textOf(control).c_str());
    }
    return TRUE;
}

int printBox(HWND window)
{
    BoxSearch search{window, nullptr};
    EnumWindows(findBox, reinterpret_cast<LPARAM>(&search));
    if (!search.box)
        return 1;
    std::printf("title \"%s\"\n", textOf(search.box).c_str());
    EnumChildWindows(search.box, printBoxPart, 0);
    int buttons = 0;
    for (HWND child = GetWindow(search.box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (classOf(child) == "Button")
            std::printf("button %d \"%s\"\n", ++buttons, textOf(child).c_str());
    std::printf("owner disabled %d\n", IsWindowEnabled(window) ? 0 : 1);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    // Aware of each monitor's density as the game is: newer Wines, as Windows does, scale what a
    // window of another awareness reports, and the test reads device pixels.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const HWND window = FindWindowW(L"VirUradIzuvaForm1", GameTitle);
    if (!window || argc < 2)
        return 1;
    const std::wstring what = argv[1];
    if (what == L"window")
        return printWindow(window);
    if (what == L"box")
        return printBox(window);
    return 1;
}
