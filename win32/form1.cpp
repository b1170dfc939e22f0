// Builds the window and turns each of its messages into one move on the board.
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
    followScreenReader();
    m_focus = nextInTabOrder(nullptr, false);
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

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        createSideControls();
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
        if (m_screenReader)
            boardFocusChanged(false);
        return 0;
    case WM_KEYDOWN:
        if (boardHasFocus() && boardKeyPressed(wParam, lParam))
            return 0;
        return DefWindowProcW(m_window, message, wParam, lParam);
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETSCREENREADER)
            followScreenReader();
        return DefWindowProcW(m_window, message, wParam, lParam);
    case WM_GETOBJECT:
        if (const LRESULT answer = m_accessibility.answerWindow(*this, wParam, lParam))
            return answer;
        return DefWindowProcW(m_window, message, wParam, lParam);
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_CTLCOLORSTATIC:
        return labelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        drawCheckButton(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_HSCROLL:
        scrolled(LOWORD(wParam));
        return 0;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == Test && HIWORD(wParam) == BN_CLICKED)
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
        return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

bool Form1::handleDialogKey(const MSG &message)
{
    const bool takesFocus = message.hwnd == SizeScroll || message.hwnd == Test ||
                            (message.hwnd == m_window && boardHasFocus());
    if (message.message != WM_KEYDOWN || !takesFocus)
        return false;
    if (message.wParam == VK_TAB) {
        moveFocus(nextInTabOrder(message.hwnd, GetKeyState(VK_SHIFT) < 0));
        return true;
    }
    if (message.wParam == VK_RETURN && message.hwnd == Test) {
        // Only a fresh press checks: a held key's repeats would open the box again each time
        // the last one closed. Bit 30 says the key was already down.
        if (!(message.lParam & (LPARAM(1) << 30)))
            Test_Click();
        return true;
    }
    return false;
}

void Form1::paint()
{
    const PaintDc paint(m_window);
    const RECT &area = paint.area();
    // Around the side controls the window's own green shows.
    const LONG side = deviceBoardPixels(scale());
    if (area.right > side) {
        const RECT column{std::max(side, area.left), area.top, area.right, area.bottom};
        SetDCBrushColor(paint.dc(), colorRef(WindowGreen));
        FillRect(paint.dc(), &column, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    GdiCanvas canvas(paint.dc());
    paintBoard(m_board, scale(),
               {area.left, area.top, area.right - area.left, area.bottom - area.top}, canvas,
               focusedCell());
}

void Form1::scrolled(WORD request)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(SizeScroll, SB_CTL, &info);
    int value = info.nPos;
    switch (request) {
    case SB_LINELEFT:
    case SB_PAGELEFT:
        --value;
        break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
        ++value;
        break;
    case SB_LEFT:
        value = MinSize;
        break;
    case SB_RIGHT:
        value = MaxSide;
        break;
    case SB_THUMBPOSITION: // a drag counts once, when the thumb is let go
        value = info.nTrackPos;
        break;
    default:
        return;
    }
    // Set even when unchanged: after a drag the thumb goes back to where the value stands.
    SetScrollPos(SizeScroll, SB_CTL, std::clamp(value, MinSize, MaxSide), TRUE);
    SizeScroll_Change();
}

void Form1::mousePressed(UINT message, LPARAM position)
{
    SetCapture(m_window);
    m_pointer.press(m_board, buttonNumber(message), devicePoint(position), scale());
}

void Form1::Form_Load()
{
    loadpieces();
}

// The painted board has no cells to create: the fresh board only needs showing.
void Form1::loadpieces()
{
    show(WholeWindow);
}

void Form1::SizeScroll_Change()
{
    show(changeSize(m_board, GetScrollPos(SizeScroll, SB_CTL)));
}

void Form1::Square_MouseUp(UINT message, LPARAM position)
{
    show(m_pointer.release(m_board, buttonNumber(message), devicePoint(position), scale()));
}

void Form1::Test_Click()
{
    const CheckResult result = RunCheck(m_board);
    const UINT icon = result.icon == CheckResult::Icon::Error ? MB_ICONSTOP : MB_ICONINFORMATION;
    MessageBoxW(m_window, wideText(result.text).c_str(), wideText(result.title).c_str(),
                MB_OK | icon);
}

void Form1::show(const Refresh &refresh)
{
    if (refresh.wholeBoard)
        m_cursor.newGame();
    showChanges(m_board, refresh, scale(), *this);
    tellScreenReaders(refresh);
}

void Form1::repaintBoard(int, const PixelRect &area)
{
    const RECT rect = toRect(area);
    InvalidateRect(m_window, &rect, FALSE);
}

void Form1::showSizeCaption(std::string_view text)
{
    SetWindowTextW(SizeOf, wideText(text).c_str());
}

void Form1::showCountCaption(std::string_view text)
{
    SetWindowTextW(Number, wideText(text).c_str());
}

} // namespace virurad
