// Builds the window and turns each of its messages into one call on the game.
#include "form1.h"

#include "device_pixels.h"
#include "gdi_canvas.h"
#include "line_check.h"
#include "wide_text.h"
#include "win32_design.h"

#include <windowsx.h>

#include <algorithm>

namespace virurad {

namespace {

constexpr wchar_t WindowClass[] = L"VirUradIzuvaForm1";

// The game's number for the button of a WM_xBUTTONDOWN or WM_xBUTTONUP.
int buttonNumber(UINT m)
{
    return m == WM_LBUTTONDOWN || m == WM_LBUTTONUP   ? int(MouseButton::Left)
           : m == WM_RBUTTONDOWN || m == WM_RBUTTONUP ? int(MouseButton::Right)
           : m == WM_MBUTTONDOWN || m == WM_MBUTTONUP ? int(MouseButton::Middle)
                                                      : 0;
}

DevicePoint devicePoint(LPARAM position)
{
    return {double(GET_X_LPARAM(position)), double(GET_Y_LPARAM(position))};
}

// The game's key for a Windows code, as `table` pairs them, or Key::Other.
template <typename Code, std::size_t N>
Key keyFor(Code code, const std::pair<Code, Key> (&table)[N])
{
    for (const auto &[c, key] : table)
        if (c == code)
            return key;
    return Key::Other;
}

Key gameKey(WPARAM key)
{
    static constexpr std::pair<WPARAM, Key> keys[]{
        {VK_LEFT, Key::Left},    {VK_RIGHT, Key::Right},  {VK_UP, Key::Up},
        {VK_DOWN, Key::Down},    {VK_PRIOR, Key::PageUp}, {VK_NEXT, Key::PageDown},
        {VK_HOME, Key::Home},    {VK_END, Key::End},      {VK_SPACE, Key::Space},
        {VK_RETURN, Key::Enter}, {'M', Key::M},           {VK_TAB, Key::Tab}};
    return keyFor(key, keys);
}

// A WM_KEYDOWN as the game takes it; bit 30 of its flags says the key was already down.
KeyPress keyPress(WPARAM key, LPARAM flags)
{
    const auto held = [](int k) { return GetKeyState(k) < 0; };
    return {gameKey(key), held(VK_SHIFT),
            held(VK_CONTROL) || held(VK_MENU) || held(VK_LWIN) || held(VK_RWIN),
            (flags & (LPARAM(1) << 30)) != 0};
}

} // namespace

bool Form1::create(HINSTANCE instance, int show)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = WindowClass;
    RegisterClassExW(&windowClass);

    const std::wstring title = wideText(WindowTitle);
    if (!CreateWindowExW(0, WindowClass, title.c_str(), WindowStyle | WS_CLIPCHILDREN,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                         nullptr, instance, this))
        return false;
    Form_Load();
    followSettings();
    m_focus = control(FirstFocus);
    ShowWindow(m_window, show);
    SetFocus(m_focus);
    return true;
}

LRESULT CALLBACK Form1::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *form =
            static_cast<Form1 *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        form->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto *form = reinterpret_cast<Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form ? form->handle(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

// Each side control answers screen readers with the game's texts, and is otherwise itself.
LRESULT CALLBACK Form1::controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA));
    if (message == WM_GETOBJECT) {
        auto *form =
            reinterpret_cast<Form1 *>(GetWindowLongPtrW(GetParent(control), GWLP_USERDATA));
        if (const LRESULT answer = form->m_accessibility.answerControl(
                *form, form->m_controls.controlOf(control), wParam, lParam))
            return answer;
    }
    return CallWindowProcW(own, control, message, wParam, lParam);
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        m_controls.create(m_window, controlProc);
        applyDpi(GetDpiForWindow(m_window));
        return 0;
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE &&
            (GetFocus() == m_window || IsChild(m_window, GetFocus())))
            m_focus = GetFocus();
        return 0;
    case WM_SETFOCUS:
        focusArrived();
        return 0;
    case WM_KILLFOCUS:
        show(m_game.boardFocus(false));
        return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        followSettings();
        break;
    case WM_GETOBJECT:
        if (const LRESULT answer = m_accessibility.answerWindow(*this, wParam, lParam))
            return answer;
        break;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_CTLCOLORSTATIC:
        return m_controls.labelColours(reinterpret_cast<HDC>(wParam),
                                       reinterpret_cast<HWND>(lParam), coloursFor(m_game.look()));
    case WM_DRAWITEM:
        m_controls.drawCheckButton(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam),
                                   coloursFor(m_game.look()));
        return TRUE;
    case WM_HSCROLL:
        SizeScroll_Change(wParam);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == int(Control::Test) && HIWORD(wParam) == BN_CLICKED)
            Test_Click();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        mousePressed(message, lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        // The capture lasts while any button is down, so a release beside the window is seen.
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
            ReleaseCapture();
        Square_MouseUp(message, lParam);
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        return 0; // the wheel changes nothing, over the board or the scroll bar
    case WM_DESTROY:
        m_accessibility.disconnect();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

bool Form1::takeKey(const MSG &message)
{
    if (message.message != WM_KEYDOWN)
        return false;
    // The window itself has the keyboard as the board, while the game says the board has it.
    const Control at = message.hwnd == m_window && m_game.focusedCell() != Refresh::NoCell
                           ? Control::Board
                           : m_controls.controlOf(message.hwnd);
    if (at == Control::None)
        return false;
    const Update update = m_game.key(at, keyPress(message.wParam, message.lParam));
    show(update);
    return update.handled;
}

void Form1::applyDpi(UINT dpi)
{
    m_dpi = dpi;
    m_controls.applyDpi(dpi);
    const SIZE size = windowSize(dpi);
    SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    InvalidateRect(m_window, nullptr, TRUE);
}

void Form1::paint()
{
    const PaintDc paint(m_window);
    const RECT &area = paint.area();
    // Around the side controls the window's own colour shows.
    const LONG side = deviceBoardPixels(scale());
    if (area.right > side) {
        const RECT column{std::max(side, area.left), area.top, area.right, area.bottom};
        SetDCBrushColor(paint.dc(), colorRef(coloursFor(m_game.look()).window));
        FillRect(paint.dc(), &column, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    GdiCanvas canvas(paint.dc());
    paintGame(m_game, scale(),
              {area.left, area.top, area.right - area.left, area.bottom - area.top}, canvas);
}

// A click plays as the scroll bar's key of the same step; a drag counts once, when let go.
void Form1::SizeScroll_Change(WPARAM request)
{
    static constexpr std::pair<WORD, Key> steps[]{
        {SB_LINELEFT, Key::Left},      {SB_LINERIGHT, Key::Right}, {SB_PAGELEFT, Key::PageUp},
        {SB_PAGERIGHT, Key::PageDown}, {SB_LEFT, Key::Home},       {SB_RIGHT, Key::End}};
    if (LOWORD(request) == SB_THUMBPOSITION) {
        // Set even when unchanged: after a drag the thumb goes back to where the value stands.
        m_controls.showSize(m_game.board().sizeCaption(), m_game.board().size());
        show(m_game.changeSize(HIWORD(request)));
    }
    if (const Key key = keyFor(LOWORD(request), steps); key != Key::Other)
        show(m_game.key(Control::SizeScroll, {key}));
}

void Form1::mousePressed(UINT message, LPARAM position)
{
    SetCapture(m_window);
    m_game.pressButton(buttonNumber(message), devicePoint(position), scale());
}

void Form1::focusArrived()
{
    // Coming back, the keyboard goes to the control that had it; the window has it as the board.
    if (m_focus && m_focus != m_window) {
        SetFocus(m_focus);
        return;
    }
    const Update update = m_game.boardFocus(true);
    show(update);
    // Windows told of the window's focus after a screen reader's focus on a cell: the cell has it.
    if (!update.cursorMoved && m_game.focusedCell() != Refresh::NoCell)
        focusCell(m_game.focusedCell());
}

// What the system asks for, read at start and after each change of its settings or colours: a
// screen reader, and a contrast theme, whose palette the game takes; as designed otherwise.
void Form1::followSettings()
{
    BOOL reader = FALSE;
    SystemParametersInfoW(SPI_GETSCREENREADER, 0, &reader, 0);
    show(m_game.setScreenReader(reader != FALSE));
    HIGHCONTRASTW theme{sizeof theme, 0, nullptr};
    SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof theme, &theme, 0);
    const bool on = theme.dwFlags & HCF_HIGHCONTRASTON;
    const auto c = [](int index) {
        const COLORREF colour = GetSysColor(index);
        return Rgb{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    };
    show(m_game.setLook({on, on,
                         on ? Palette{c(COLOR_WINDOW), c(COLOR_WINDOWTEXT), c(COLOR_HIGHLIGHT),
                                      c(COLOR_BTNFACE), c(COLOR_BTNTEXT)}
                            : Palette{}}));
    // The side controls and the window around them too, in colours that may all be new.
    RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The painted board has no cells to create: the fresh board only needs showing.
void Form1::loadpieces()
{
    Update update;
    update.refresh = WholeWindow;
    show(update);
}

void Form1::Square_MouseUp(UINT message, LPARAM position)
{
    show(m_game.releaseButton(buttonNumber(message), devicePoint(position), scale()));
}

void Form1::Test_Click()
{
    const CheckResult result = RunCheck(m_game.board());
    const UINT icon = result.icon == CheckResult::Icon::Error ? MB_ICONSTOP : MB_ICONINFORMATION;
    MessageBoxW(m_window, wideText(result.text).c_str(), wideText(result.title).c_str(),
                MB_OK | icon);
}

} // namespace virurad
