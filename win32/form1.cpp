// Builds the window and turns each of its messages into one move on the board.
#include "form1.h"

#include "device_pixels.h"
#include "game_events.h"
#include "line_check.h"
#include "wide_text.h"
#include "win32_design.h"

#include <windowsx.h>

namespace {

constexpr wchar_t WindowClass[] = L"VirUradIzuvaForm1";

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

    m_green.reset(CreateSolidBrush(colorRef(WindowGreen)));
    m_white.reset(CreateSolidBrush(colorRef(SizeLabelBackground)));
    m_yellow.reset(CreateSolidBrush(colorRef(toRgb(CellColour::Yellow))));
    m_salmon.reset(CreateSolidBrush(colorRef(CheckButtonFace)));
    m_chip.reset(CreateSolidBrush(colorRef(ChipBrown)));
    m_chipPen.reset(CreatePen(PS_SOLID, 0, colorRef(ChipBrown)));
    const std::wstring title = wideText(WindowTitle);
    if (!CreateWindowExW(0, WindowClass, title.c_str(), WindowStyle | WS_CLIPCHILDREN,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                         nullptr, instance, this))
        return false;
    Form_Load();
    ShowWindow(m_window, show);
    SetFocus(SizeScroll);
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
        if (LOWORD(wParam) == WA_INACTIVE && IsChild(m_window, GetFocus()))
            m_focus = GetFocus();
        return 0;
    case WM_SETFOCUS:
        // The window itself takes no keys: the focus goes back to the control that had it.
        SetFocus(m_focus ? m_focus : SizeScroll);
        return 0;
    case WM_PAINT:
        paintBoard(PaintDc(m_window));
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
        // A release outside the window is still seen, and counts for no cell.
        SetCapture(m_window);
        return 0;
    case WM_LBUTTONUP:
        buttonReleased(lParam, int(MouseButton::Left));
        return 0;
    case WM_RBUTTONUP:
        buttonReleased(lParam, int(MouseButton::Right));
        return 0;
    case WM_MBUTTONUP:
        buttonReleased(lParam, int(MouseButton::Middle));
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        return 0; // the wheel changes nothing, over the board or the scroll bar
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

bool Form1::handleDialogKey(const MSG &message)
{
    if (message.message != WM_KEYDOWN || (message.hwnd != SizeScroll && message.hwnd != Test))
        return false;
    if (message.wParam == VK_TAB) {
        // Only these two take the focus; Tab and Shift+Tab both go to the other one.
        SetFocus(message.hwnd == SizeScroll ? Test : SizeScroll);
        return true;
    }
    if (message.wParam == VK_RETURN && message.hwnd == Test) {
        Test_Click();
        return true;
    }
    return false;
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
    value = value < MinSize ? MinSize : value > MaxSide ? MaxSide : value;
    if (value == info.nPos)
        return;
    SetScrollPos(SizeScroll, SB_CTL, value, TRUE);
    SizeScroll_Change();
}

void Form1::buttonReleased(LPARAM position, int button)
{
    if (!(GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 ||
          GetKeyState(VK_MBUTTON) < 0))
        ReleaseCapture();
    // The cell under the release, which may not be the one pressed; off the board, none.
    const double ratio = scale();
    const int k = cellAtDevicePixel(m_board, GET_X_LPARAM(position) / ratio,
                                    GET_Y_LPARAM(position) / ratio, ratio);
    if (k >= 0)
        Square_MouseUp(k, button);
}

void Form1::Form_Load()
{
    loadpieces();
}

// The painted board has no cells to create: the fresh board only needs showing.
void Form1::loadpieces()
{
    refreshControls(WholeWindow);
}

void Form1::SizeScroll_Change()
{
    refreshControls(changeSize(m_board, GetScrollPos(SizeScroll, SB_CTL)));
}

void Form1::Square_MouseUp(int Index, int Button)
{
    refreshControls(releaseButton(m_board, Index, Button));
}

void Form1::Test_Click()
{
    const CheckResult result = RunCheck(m_board);
    const UINT icon = result.icon == CheckResult::Icon::Error ? MB_ICONSTOP : MB_ICONINFORMATION;
    MessageBoxW(m_window, wideText(result.text).c_str(), wideText(result.title).c_str(),
                MB_OK | icon);
}

void Form1::refreshControls(const Refresh &refresh)
{
    if (refresh.sizeCaption)
        SetWindowTextW(SizeOf, wideText(m_board.sizeCaption()).c_str());
    if (refresh.countCaption)
        SetWindowTextW(Number, wideText(m_board.countCaption()).c_str());
    if (refresh.wholeBoard) {
        const RECT board{0, 0, deviceBoardPixels(scale()), deviceBoardPixels(scale())};
        InvalidateRect(m_window, &board, FALSE);
    } else if (refresh.cell != Refresh::NoCell) {
        const PixelRect r = devicePixelRect(m_board.cellPixelRect(refresh.cell), scale());
        const RECT cell{r.left, r.top, r.left + r.width, r.top + r.height};
        InvalidateRect(m_window, &cell, FALSE);
    }
}
