// The scroll bar, the two labels and the check button: creation, placing, fonts and colours.
#include "device_pixels.h"
#include "form1.h"
#include "wide_text.h"
#include "win32_design.h"

#include <cmath>

namespace virurad {

namespace {

// Child ids, in tab order.
enum ControlId { SizeScrollId = 1, SizeOfId, NumberId, TestId };

HWND createControl(HWND parent, const wchar_t *windowClass, const wchar_t *text, DWORD style,
                   int id)
{
    return CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(INT_PTR(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                           nullptr);
}

void place(HWND control, const PixelRect &design, double ratio)
{
    const PixelRect r = devicePixelRect(design, ratio);
    SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

SIZE windowSize(UINT dpi)
{
    RECT r{0, 0, MulDiv(WindowWidth, int(dpi), 96), MulDiv(WindowHeight, int(dpi), 96)};
    AdjustWindowRectExForDpi(&r, WindowStyle, FALSE, 0, dpi);
    return {r.right - r.left, r.bottom - r.top};
}

HFONT createFont(const FontDesign &design, UINT dpi)
{
    LOGFONTW font{};
    font.lfHeight = -LONG(std::lround(design.points * dpi / 72));
    font.lfWeight = design.weight;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    // Windows keeps "MS Sans Serif" as a bitmap face of a few fixed sizes; its outline twin has
    // the same metrics and scales to any resolution.
    const std::wstring face =
        design.face == "MS Sans Serif" ? L"Microsoft Sans Serif" : wideText(design.face);
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void Form1::createSideControls()
{
    // Created in tab order; only the scroll bar and the button take the focus.
    SizeScroll = createControl(m_window, L"SCROLLBAR", L"", SBS_HORZ | WS_TABSTOP, SizeScrollId);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS, MinSize, MaxSide, 0, MaxSide, 0};
    SetScrollInfo(SizeScroll, SB_CTL, &info, FALSE);
    // A screen reader asks the bar itself what it is; the window answers with the bar's name.
    m_sizeScrollProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(SizeScroll, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sizeScrollProc)));
    SizeOf = createControl(m_window, L"STATIC", L"", SS_CENTER, SizeOfId);
    Number = createControl(m_window, L"STATIC", L"", SS_CENTER, NumberId);
    const std::wstring caption = wideText(CheckButtonCaption);
    Test = createControl(m_window, L"BUTTON", caption.c_str(), BS_OWNERDRAW | WS_TABSTOP, TestId);
}

LRESULT CALLBACK Form1::sizeScrollProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *form = reinterpret_cast<Form1 *>(GetWindowLongPtrW(GetParent(bar), GWLP_USERDATA));
    if (message == WM_GETOBJECT) {
        if (const LRESULT answer =
                form->m_accessibility.answerSizeScroll(*form, bar, wParam, lParam))
            return answer;
    }
    return CallWindowProcW(form->m_sizeScrollProc, bar, message, wParam, lParam);
}

void Form1::applyDpi(UINT dpi)
{
    m_dpi = dpi;
    m_sizeFont.reset(createFont(SizeLabelFont, dpi));
    m_countFont.reset(createFont(CountLabelFont, dpi));
    m_buttonFont.reset(createFont(CheckButtonFont, dpi));
    SendMessageW(SizeOf, WM_SETFONT, WPARAM(m_sizeFont.get()), FALSE);
    SendMessageW(Number, WM_SETFONT, WPARAM(m_countFont.get()), FALSE);
    SendMessageW(Test, WM_SETFONT, WPARAM(m_buttonFont.get()), FALSE);
    place(SizeScroll, SizeScrollRect, scale());
    place(SizeOf, SizeLabelRect, scale());
    place(Number, CountLabelRect, scale());
    place(Test, CheckButtonRect, scale());
    const SIZE size = windowSize(dpi);
    SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    InvalidateRect(m_window, nullptr, TRUE);
}

LRESULT Form1::labelColours(HDC dc, HWND label) const
{
    // The size label's white is the game's own, so its text is fixed too; the count label takes
    // the theme's control face with the theme's text on it, readable in light, dark and high
    // contrast alike.
    if (label == SizeOf) {
        SetTextColor(dc, colorRef(FixedInk));
        SetBkColor(dc, colorRef(SizeLabelBackground));
        SetDCBrushColor(dc, colorRef(SizeLabelBackground));
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// The button's face in the game's salmon pink, with the system's own edges and focus mark.
void Form1::drawCheckButton(const DRAWITEMSTRUCT &item) const
{
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    SetDCBrushColor(item.hDC, colorRef(CheckButtonFace));
    FillRect(item.hDC, &face, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    DrawEdge(item.hDC, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    const Selection font(item.hDC, m_buttonFont.get());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, colorRef(FixedInk));
    if (pressed)
        OffsetRect(&face, 1, 1);
    const std::wstring caption = wideText(CheckButtonCaption);
    DrawTextW(item.hDC, caption.c_str(), -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(item.hDC, &focus);
    }
}

} // namespace virurad
