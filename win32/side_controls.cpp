// The side controls: creation, placing, fonts, the scroll bar's value, and their colours.
#include "side_controls.h"

#include "device_pixels.h"
#include "wide_text.h"
#include "win32_design.h"

#include <cmath>

namespace virurad {

namespace {

HWND createControl(HWND parent, const wchar_t *windowClass, const wchar_t *text, DWORD style,
                   Control id, WNDPROC proc)
{
    const HWND control = CreateWindowExW(
        0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(INT_PTR(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    SetWindowLongPtrW(control, GWLP_USERDATA,
                      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    return control;
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

void SideControls::create(HWND window, WNDPROC proc)
{
    // Only the scroll bar and the button take the keyboard.
    SizeScroll =
        createControl(window, L"SCROLLBAR", L"", SBS_HORZ | WS_TABSTOP, Control::SizeScroll, proc);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS, MinSize, MaxSide, 0, MaxSide, 0};
    SetScrollInfo(SizeScroll, SB_CTL, &info, FALSE);
    SizeOf = createControl(window, L"STATIC", L"", SS_CENTER, Control::SizeOf, proc);
    Number = createControl(window, L"STATIC", L"", SS_CENTER, Control::Number, proc);
    const std::wstring caption = wideText(CheckButtonCaption);
    Test = createControl(window, L"BUTTON", caption.c_str(), BS_OWNERDRAW | WS_TABSTOP,
                         Control::Test, proc);
}

void SideControls::applyDpi(UINT dpi)
{
    m_sizeFont.reset(createFont(SizeLabelFont, dpi));
    m_countFont.reset(createFont(CountLabelFont, dpi));
    m_buttonFont.reset(createFont(CheckButtonFont, dpi));
    SendMessageW(SizeOf, WM_SETFONT, WPARAM(m_sizeFont.get()), FALSE);
    SendMessageW(Number, WM_SETFONT, WPARAM(m_countFont.get()), FALSE);
    SendMessageW(Test, WM_SETFONT, WPARAM(m_buttonFont.get()), FALSE);
    const double ratio = double(dpi) / 96;
    place(SizeScroll, SizeScrollRect, ratio);
    place(SizeOf, SizeLabelRect, ratio);
    place(Number, CountLabelRect, ratio);
    place(Test, CheckButtonRect, ratio);
}

void SideControls::showSize(std::string_view caption, int value)
{
    SetWindowTextW(SizeOf, wideText(caption).c_str());
    SetScrollPos(SizeScroll, SB_CTL, value, TRUE);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, SizeScroll, OBJID_CLIENT, CHILDID_SELF);
}

LRESULT SideControls::labelColours(HDC dc, HWND label, const Colours &colours) const
{
    // The size label takes the look's colours; the count label the system's control face with
    // the system's text on it, readable in light, dark and contrast themes alike.
    const bool size = label == SizeOf;
    const COLORREF face = size ? colorRef(colours.sizeLabel) : GetSysColor(COLOR_BTNFACE);
    SetTextColor(dc, size ? colorRef(colours.sizeLabelText) : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, face);
    SetDCBrushColor(dc, face);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

// The button's face in the look's colours, with the system's own edges and focus mark.
void SideControls::drawCheckButton(const DRAWITEMSTRUCT &item, const Colours &colours) const
{
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    SetDCBrushColor(item.hDC, colorRef(colours.checkFace));
    FillRect(item.hDC, &face, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    DrawEdge(item.hDC, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    const Selection font(item.hDC, m_buttonFont.get());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, colorRef(colours.checkText));
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
