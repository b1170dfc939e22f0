// The board's table and its cells, read from the window's game at every call, and the client.
#include "board_accessible.h"

#include "device_pixels.h"
#include "win32_design.h"

namespace virurad {

LONG cellChildId(const ChipBoard &board, int k)
{
    return board.isShown(k) ? cellRow(k) * board.size() + cellColumn(k) + 1 : -1;
}

namespace {

// Where a point of the screen is in the window's client area, and whether the board is there.
POINT inClient(HWND window, LONG x, LONG y)
{
    POINT at{x, y};
    ScreenToClient(window, &at);
    return at;
}

bool onBoard(POINT at, double ratio)
{
    const int side = deviceBoardPixels(ratio);
    return at.x >= 0 && at.y >= 0 && at.x < side && at.y < side;
}

IDispatch *controlObject(HWND control)
{
    // Its client object carries its name, role and value; its window object adds nothing.
    IDispatch *object = nullptr;
    if (control)
        LATE_CALL(L"oleacc.dll", AccessibleObjectFromWindow)
        (control, OBJID_CLIENT, __uuidof(IDispatch), reinterpret_cast<void **>(&object));
    return object;
}

} // namespace

template <typename Answer> HRESULT BoardAccessible::about(const VARIANT &child, Answer answer) const
{
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const LONG id = childOf(child), n = board().size();
    if (id == CHILDID_SELF)
        return answer(-1);
    return id >= 1 && id <= n * n ? answer(CellIndex(int(id - 1) % n, int(id - 1) / n))
                                  : E_INVALIDARG;
}

HRESULT BoardAccessible::get_accParent(IDispatch **parent)
{
    if (!parent)
        return E_POINTER;
    if ((*parent = m_parent))
        m_parent->AddRef();
    return m_parent ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT BoardAccessible::get_accChildCount(LONG *count)
{
    if (!count)
        return E_POINTER;
    return about(childVariant(CHILDID_SELF), [&](int) {
        *count = board().size() * board().size();
        return S_OK;
    });
}

HRESULT BoardAccessible::get_accName(VARIANT child, BSTR *name)
{
    return about(child, [&](int k) {
        return textAnswer(
            k < 0 ? accessibleText(board(), Control::Board).name : cellName(board(), k), name);
    });
}

HRESULT BoardAccessible::get_accDescription(VARIANT child, BSTR *description)
{
    // The table sums up the game; a cell's name already says all there is to it.
    return about(child, [&](int k) {
        return textAnswer(k < 0 ? accessibleText(board(), Control::Board).description : "",
                          description);
    });
}

HRESULT BoardAccessible::get_accRole(VARIANT child, VARIANT *role)
{
    if (!role)
        return E_POINTER;
    return about(child, [&](int k) {
        *role =
            childVariant(msaaRole(k < 0 ? accessibleText(board(), Control::Board).role : CellRole));
        return S_OK;
    });
}

HRESULT BoardAccessible::get_accState(VARIANT child, VARIANT *state)
{
    if (!state)
        return E_POINTER;
    return about(child, [&](int k) {
        LONG flags = IsWindowVisible(m_window->window()) ? 0 : STATE_SYSTEM_INVISIBLE;
        // The cells, not the table, take the focus, and only while a screen reader runs.
        if (k >= 0 && m_window->game().boardTakesFocus())
            flags |= STATE_SYSTEM_FOCUSABLE;
        if (k >= 0 && k == m_window->game().focusedCell())
            flags |= STATE_SYSTEM_FOCUSED;
        *state = childVariant(flags);
        return S_OK;
    });
}

HRESULT BoardAccessible::get_accFocus(VARIANT *focus)
{
    if (!focus)
        return E_POINTER;
    return about(childVariant(CHILDID_SELF), [&](int) {
        const int k = m_window->game().focusedCell();
        *focus = k < 0 ? VARIANT{} : childVariant(cellChildId(board(), k));
        return k < 0 ? S_FALSE : S_OK;
    });
}

// MSAA gives an object one default action: a cell's is the left button's.
HRESULT BoardAccessible::get_accDefaultAction(VARIANT child, BSTR *action)
{
    return about(child, [&](int k) {
        return k < 0 ? DISP_E_MEMBERNOTFOUND : textAnswer(CellActions[0].name, action);
    });
}

HRESULT BoardAccessible::accDoDefaultAction(VARIANT child)
{
    return about(child, [&](int k) {
        if (k < 0)
            return DISP_E_MEMBERNOTFOUND;
        m_window->playCell(k, CellActions[0].button);
        return S_OK;
    });
}

HRESULT BoardAccessible::accSelect(LONG flags, VARIANT child)
{
    // Cells are not selected, only focused: the screen reader's focus moves the cursor.
    return about(child, [&](int k) {
        if (k < 0 || flags != SELFLAG_TAKEFOCUS)
            return DISP_E_MEMBERNOTFOUND;
        m_window->takeFocus(k);
        return S_OK;
    });
}

HRESULT BoardAccessible::accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                     VARIANT child)
{
    return about(child, [&](int k) {
        const double ratio = m_window->scale();
        const int side = deviceBoardPixels(ratio);
        const PixelRect r = k < 0 ? PixelRect{0, 0, side, side} : deviceCellRect(board(), k, ratio);
        return locationAnswer(m_window->window(), toRect(r), left, top, width, height);
    });
}

HRESULT BoardAccessible::accHitTest(LONG x, LONG y, VARIANT *child)
{
    if (!child)
        return E_POINTER;
    return about(childVariant(CHILDID_SELF), [&](int) {
        const POINT at = inClient(m_window->window(), x, y);
        const int k = cellAtDevicePixel(board(), at.x, at.y, m_window->scale());
        *child = k >= 0                           ? childVariant(cellChildId(board(), k))
                 : onBoard(at, m_window->scale()) ? childVariant(CHILDID_SELF)
                                                  : VARIANT{};
        return child->vt == VT_EMPTY ? S_FALSE : S_OK;
    });
}

IAccessible *ClientAccessible::board()
{
    if (!m_window)
        return nullptr;
    if (!m_board)
        m_board = new BoardAccessible(*m_window, this);
    m_board->AddRef();
    return m_board;
}

void ClientAccessible::replaceBoard()
{
    if (!m_board)
        return;
    m_board->disconnect();
    m_board->Release();
    m_board = nullptr;
}

void ClientAccessible::disconnect()
{
    m_window = nullptr;
    replaceBoard();
}

HRESULT ClientAccessible::get_accChild(VARIANT child, IDispatch **object)
{
    if (!object)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const LONG id = childOf(child);
    *object = id == int(Control::Board) ? board() : controlObject(m_window->control(Control(id)));
    return *object ? S_OK : E_INVALIDARG;
}

HRESULT ClientAccessible::get_accFocus(VARIANT *focus)
{
    if (!focus)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const HWND window = m_window->window(), focused = GetFocus();
    IDispatch *object = m_window->game().focusedCell() >= 0 ? board()
                        : IsChild(window, focused)          ? controlObject(focused)
                                                            : nullptr;
    *focus = object              ? objectVariant(object)
             : focused == window ? childVariant(CHILDID_SELF)
                                 : VARIANT{};
    return focus->vt == VT_EMPTY ? S_FALSE : S_OK;
}

HRESULT ClientAccessible::accHitTest(LONG x, LONG y, VARIANT *child)
{
    if (!child)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const HWND window = m_window->window();
    const POINT at = inClient(window, x, y);
    RECT client;
    GetClientRect(window, &client);
    IDispatch *object = nullptr;
    if (onBoard(at, m_window->scale()))
        object = board();
    else if (const HWND c = ChildWindowFromPointEx(window, at, CWP_SKIPINVISIBLE); c != window)
        object = controlObject(c);
    *child = object                  ? objectVariant(object)
             : PtInRect(&client, at) ? childVariant(CHILDID_SELF)
                                     : VARIANT{};
    return child->vt == VT_EMPTY ? S_FALSE : S_OK;
}

HRESULT ClientAccessible::accNavigate(LONG direction, VARIANT start, VARIANT *end)
{
    // Windows' object would name a side control as the first child; clients find the children
    // through AccessibleChildren instead, which lists the board first.
    if (childOf(start) != CHILDID_SELF)
        return E_INVALIDARG;
    if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)
        return DISP_E_MEMBERNOTFOUND;
    return AccessibleObject::accNavigate(direction, start, end);
}

} // namespace virurad
