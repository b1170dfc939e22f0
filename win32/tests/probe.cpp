// Reads the game's window as Windows itself knows it, for the tests: its controls' classes,
// texts, rectangles, scroll position and parts, focus, and an open message box's title, text,
// icon and buttons. Rectangles are in device pixels of the game's client area. Also switches
// the system's colours and its contrast theme as Windows' own settings do.
//
//   probe window               the window, each control and the open message box, one line each
//   probe boxes MS             watches for MS milliseconds and says how many message boxes opened
//   probe colours              the system's colours that a theme sets, as RRGGBB, in one line
//   probe theme on|off C...    a contrast theme on or off, with those colours in the same order
//
// Exits with 1 when the window is not there (or not shown yet), so a test can poll for it.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
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

// "L T W H" of a window's rectangle in the game's client area.
void printRect(HWND window, HWND game)
{
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, game, reinterpret_cast<POINT *>(&r), 2);
    std::printf(" %ld %ld %ld %ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// The value and range, and where the arrows and the thumb are drawn, from the bar's own left.
// Wine does not hand a scroll bar's parts to another process, so a hidden twin of the bar in
// this one, of the same class, size, range and value, is asked where Windows draws them.
void printScrollBar(HWND bar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(bar, SB_CTL, &info);
    RECT size;
    GetClientRect(bar, &size);
    const HWND twin = CreateWindowExW(0, L"SCROLLBAR", L"", WS_POPUP | SBS_HORZ, 0, 0, size.right,
                                      size.bottom, nullptr, nullptr, nullptr, nullptr);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    SetScrollInfo(twin, SB_CTL, &info, FALSE);
    SCROLLBARINFO parts{};
    parts.cbSize = sizeof parts;
    GetScrollBarInfo(twin, OBJID_CLIENT, &parts);
    DestroyWindow(twin);
    std::printf(" pos %d range %d %d arrows %d thumb %d %d", info.nPos, info.nMin, info.nMax,
                parts.dxyLineButton, parts.xyThumbTop, parts.xyThumbBottom);
}

BOOL CALLBACK printControl(HWND control, LPARAM parent)
{
    const HWND game = reinterpret_cast<HWND>(parent);
    std::printf("control %s \"%s\"", classOf(control).c_str(), textOf(control).c_str());
    printRect(control, game);
    if (classOf(control) == "ScrollBar")
        printScrollBar(control);
    std::printf(" focus %d\n", focusOf(control) == control ? 1 : 0);
    return TRUE;
}

struct BoxSearch {
    HWND owner;
    bool shownOnly;
    HWND box;
};

BOOL CALLBACK findBox(HWND window, LPARAM search)
{
    auto *s = reinterpret_cast<BoxSearch *>(search);
    if (classOf(window) == "#32770" && GetWindow(window, GW_OWNER) == s->owner &&
        (!s->shownOnly || IsWindowVisible(window))) {
        s->box = window;
        return FALSE;
    }
    return TRUE;
}

// The message box the game has open, or, if not shownOnly, one it has made and not yet shown.
HWND openBox(HWND game, bool shownOnly)
{
    BoxSearch search{game, shownOnly, nullptr};
    EnumWindows(findBox, reinterpret_cast<LPARAM>(&search));
    return search.box;
}

void printBox(HWND box, HWND game)
{
    std::printf("box title \"%s\"\n", textOf(box).c_str());
    for (HWND part = GetWindow(box, GW_CHILD); part; part = GetWindow(part, GW_HWNDNEXT)) {
        if (classOf(part) == "Button") {
            std::printf("box button \"%s\"", textOf(part).c_str());
            printRect(part, game);
            std::printf("\n");
        } else if (classOf(part) == "Static" && (GetWindowLongW(part, GWL_STYLE) & SS_ICON)) {
            // Icon handles cannot be compared across processes; the test looks at its pixels.
            std::printf("box icon");
            printRect(part, game);
            std::printf("\n");
        } else if (classOf(part) == "Static" && !textOf(part).empty()) {
            std::printf("box text \"%s\"\n", textOf(part).c_str());
        }
    }
    std::printf("box owner-enabled %d\n", IsWindowEnabled(game) ? 1 : 0);
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
    std::printf("window \"%s\" %ld %ld %ld %ld\n", textOf(window).c_str(), origin.x, origin.y,
                client.right, client.bottom);
    EnumChildWindows(window, printControl, reinterpret_cast<LPARAM>(window));
    if (const HWND box = openBox(window, true))
        printBox(box, window);
    return 0;
}

// Each box counts once, however briefly it lives: a box shows only once the game has no input
// waiting, and a key waiting for it may close it before then. A box is a new window each time.
int countBoxes(HWND window, DWORD milliseconds)
{
    std::printf("watching\n");
    std::fflush(stdout);
    int opened = 0;
    HWND last = nullptr;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        const HWND box = openBox(window, false);
        if (box && box != last)
            ++opened;
        last = box;
        Sleep(1);
    }
    std::printf("opened %d\n", opened);
    return 0;
}

// The colours a contrast theme sets: the palette a program draws with, then the scroll bar's
// track and the 3-D edges of controls, which Windows draws in the palette's colours too.
constexpr int ThemeColours[]{COLOR_WINDOW,   COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_BTNFACE,
                             COLOR_BTNTEXT,  COLOR_SCROLLBAR,  COLOR_3DHILIGHT, COLOR_3DLIGHT,
                             COLOR_3DSHADOW, COLOR_3DDKSHADOW};
constexpr int ThemeColourCount = int(std::size(ThemeColours));

int printColours()
{
    for (const int element : ThemeColours) {
        const COLORREF c = GetSysColor(element);
        std::printf("%02x%02x%02x ", GetRValue(c), GetGValue(c), GetBValue(c));
    }
    std::printf("\n");
    return 0;
}

// As Windows' switch does: the setting stored where Windows keeps it, the colours set, which
// tells every window of the new colours, and then every window told of the new setting.
int switchTheme(bool on, wchar_t **colours)
{
    const std::wstring flags = on ? L"127" : L"126"; // with or without HCF_HIGHCONTRASTON
    if (RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Accessibility\\HighContrast", L"Flags",
                        REG_SZ, flags.c_str(), DWORD((flags.size() + 1) * sizeof(wchar_t))))
        return 1;
    COLORREF values[ThemeColourCount];
    for (int i = 0; i < ThemeColourCount; ++i) {
        const unsigned long rgb = std::wcstoul(colours[i], nullptr, 16);
        values[i] = RGB(rgb >> 16 & 0xff, rgb >> 8 & 0xff, rgb & 0xff);
    }
    if (!SetSysColors(ThemeColourCount, ThemeColours, values))
        return 1;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST,
                        reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 5000, nullptr);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    // Aware of each monitor's density as the game is: newer Wines, as Windows does, scale what a
    // window of another awareness reports, and the test reads device pixels.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (argc == 2 && std::wstring(argv[1]) == L"colours")
        return printColours();
    if (argc == 3 + ThemeColourCount && std::wstring(argv[1]) == L"theme")
        return switchTheme(std::wstring(argv[2]) == L"on", argv + 3);
    const HWND window = FindWindowW(L"VirUradIzuvaForm1", GameTitle);
    if (!window || argc < 2)
        return 1;
    const std::wstring what = argv[1];
    if (what == L"window")
        return printWindow(window);
    if (what == L"boxes" && argc == 3)
        return countBoxes(window, DWORD(std::wcstoul(argv[2], nullptr, 10)));
    return 1;
}
