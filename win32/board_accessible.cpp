// The board's table and its cells, and the window's client that holds them beside the controls.
#include "board_accessible.h"

#include "accessible_texts.h"
#include "device_pixels.h"
#include "win32_design.h"

namespace virurad {

LONG cellChildId(const ChipBoard &board, int k)
{
    return board.isShown(k) ? cellRow(k) * board.size() + cellColumn(k) + 1 : -1;
}

int childCell(const ChipBoard &board, LONG id)
{
    const int n = board.size();
    if (id < 1 || id > n * n)
        return -1;
    return CellIndex(int(id - 1) % n, int(id - 1) / n);
}

namespace {

std::string_view actionName(MouseButton button)
{
    for (const CellAction &action : CellActions)
        if (action.button == button)
            return action.name;
    return {};
}

} // namespace

// The table: itself as child 0, each cell on the board as a simple child with no object of its
// own. It answers from the window's board at every call, so it never shows a stale game.
class BoardAccessible final : public AccessibleObject {
  public:
    BoardAccessible(AccessibleWindow &window, ClientAccessible &client)
        : m_window(&window), m_client(&client)
    {
    }
    void disconnect()
    {
        m_window = nullptr;
        m_client = nullptr;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *child) override;

  private:
    // The cell that `child` names: -1 for the board itself, -2 for no child of the board.
    int cellOf(const VARIANT &child) const
    {
        const LONG id = childOf(child);
        if (id == CHILDID_SELF)
            return -1;
        const int k = childCell(m_window->board(), id);
        return k >= 0 ? k : -2;
    }

    AccessibleWindow *m_window;
    ClientAccessible *m_client;
};

HRESULT BoardAccessible::get_accParent(IDispatch **parent)
{
    if (!parent)
        return E_POINTER;
    *parent = m_client;
    if (!m_client)
        return CO_E_OBJNOTCONNECTED;
    m_client->AddRef();
    return S_OK;
}

HRESULT BoardAccessible::get_accChildCount(LONG *count)
{
    if (!count)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    *count = m_window->board().size() * m_window->board().size();
    return S_OK;
}

HRESULT BoardAccessible::get_accChild(VARIANT child, IDispatch **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    // A cell is a simple child, read through the board.
    return cellOf(child) >= 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT BoardAccessible::get_accName(VARIANT child, BSTR *name)
{
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const int k = cellOf(child);
    return k == -2 ? E_INVALIDARG : textAnswer(k < 0 ? BoardName : m_window->cellText(k), name);
}

HRESULT BoardAccessible::get_accDescription(VARIANT child, BSTR *description)
{
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const int k = cellOf(child);
    if (k == -2)
        return E_INVALIDARG;
    // The board sums up the game; a cell's name already says all there is to it.
    return textAnswer(k < 0 ? boardDescription(m_window->board()) : "", description);
}

HRESULT BoardAccessible::get_accRole(VARIANT child, VARIANT *role)
{
    if (!role)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const int k = cellOf(child);
    if (k == -2)
        return E_INVALIDARG;
    *role = childVariant(k < 0 ? ROLE_SYSTEM_TABLE : ROLE_SYSTEM_CELL);
    return S_OK;
}

HRESULT BoardAccessible::get_accState(VARIANT child, VARIANT *state)
{
    if (!state)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const int k = cellOf(child);
    if (k == -2)
        return E_INVALIDARG;
    LONG flags = 0;
    if (!IsWindowVisible(m_window->window()))
        flags |= STATE_SYSTEM_INVISIBLE;
    // The cells, not the table, take the focus, and only while a screen reader runs.
    if (k >= 0 && m_window->boardTakesFocus())
        flags |= STATE_SYSTEM_FOCUSABLE;
    if (k >= 0 && k == m_window->focusedCell())
        flags |= STATE_SYSTEM_FOCUSED;
    *state = childVariant(flags);
    return S_OK;
}

HRESULT BoardAccessible::get_accFocus(VARIANT *focus)
{
    if (!focus)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const int k = m_window->focusedCell();
    *focus = k < 0 ? emptyVariant() : childVariant(cellChildId(m_window->board(), k));
    return k < 0 ? S_FALSE : S_OK;
}

HRESULT BoardAccessible::get_accDefaultAction(VARIANT child, BSTR *action)
{
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const int k = cellOf(child);
    if (k == -2)
        return E_INVALIDARG;
    return k < 0 ? DISP_E_MEMBERNOTFOUND : textAnswer(actionName(MouseButton::Left), action);
}

HRESULT BoardAccessible::accDoDefaultAction(VARIANT child)
{
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const int k = cellOf(child);
    if (k == -2)
        return E_INVALIDARG;
    if (k < 0)
        return DISP_E_MEMBERNOTFOUND;
    m_window->playCell(k, MouseButton::Left);
    return S_OK;
}

HRESULT BoardAccessible::accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                     VARIANT child)
{
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const int k = cellOf(child);
    if (k == -2)
        return E_INVALIDARG;
    const double ratio = m_window->scale();
    const int side = deviceBoardPixels(ratio);
    const PixelRect r =
        k < 0 ? PixelRect{0, 0, side, side} : deviceCellRect(m_window->board(), k, ratio);
    return locationAnswer(m_window->window(), toRect(r), left, top, width, height);
}

HRESULT BoardAccessible::accHitTest(LONG x, LONG y, VARIANT *child)
{
    if (!child)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    POINT at{x, y};
    ScreenToClient(m_window->window(), &at);
    const ChipBoard &board = m_window->board();
    const int k = cellAtDevicePixel(board, at.x, at.y, m_window->scale());
    const int side = deviceBoardPixels(m_window->scale());
    if (k >= 0)
        *child = childVariant(cellChildId(board, k));
    else if (at.x >= 0 && at.y >= 0 && at.x < side && at.y < side)
        *child = childVariant(CHILDID_SELF);
    else
        *child = emptyVariant();
    return child->vt == VT_EMPTY ? S_FALSE : S_OK;
}

ClientAccessible::ClientAccessible(AccessibleWindow &window, IAccessible *standard)
    : AccessibleObject(standard), m_window(&window)
{
}

ClientAccessible::~ClientAccessible()
{
    if (m_board) {
        m_board->disconnect();
        m_board->Release();
    }
}

IAccessible *ClientAccessible::board()
{
    if (!m_window)
        return nullptr;
    if (!m_board)
        m_board = new BoardAccessible(*m_window, *this);
    m_board->AddRef();
    return m_board;
}

void ClientAccessible::disconnect()
{
    m_window = nullptr;
    if (m_board)
        m_board->disconnect();
}

bool ClientAccessible::sharesChild(const VARIANT &child) const
{
    // Windows' object numbers the side controls from 1; here the board comes first.
    return childOf(child) == CHILDID_SELF;
}

IDispatch *ClientAccessible::controlObject(HWND control)
{
    // The control's client object, which carries its name, role and value; the window object
    // around it adds nothing a screen reader reads out (and Wine's answers nothing at all).
    IDispatch *object = nullptr;
    if (control)
        AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IDispatch),
                                   reinterpret_cast<void **>(&object));
    return object;
}

HWND ClientAccessible::control(LONG id) const
{
    if (!m_window || id < 2)
        return nullptr;
    HWND c = GetWindow(m_window->window(), GW_CHILD);
    for (LONG i = 2; c && i < id; ++i)
        c = GetWindow(c, GW_HWNDNEXT);
    return c;
}

IDispatch *ClientAccessible::childObject(LONG id)
{
    return id == 1 ? board() : controlObject(control(id));
}

HRESULT ClientAccessible::get_accChildCount(LONG *count)
{
    if (!count)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    *count = 1;
    for (HWND c = GetWindow(m_window->window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        ++*count;
    return S_OK;
}

HRESULT ClientAccessible::get_accChild(VARIANT child, IDispatch **object)
{
    if (!object)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    *object = childObject(childOf(child));
    return *object ? S_OK : E_INVALIDARG;
}

HRESULT ClientAccessible::get_accFocus(VARIANT *focus)
{
    if (!focus)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const HWND window = m_window->window(), focused = GetFocus();
    IDispatch *object = nullptr;
    if (m_window->focusedCell() >= 0)
        object = board();
    else if (focused && IsChild(window, focused))
        object = controlObject(focused);
    *focus = object              ? objectVariant(object)
             : focused == window ? childVariant(CHILDID_SELF)
                                 : emptyVariant();
    return focus->vt == VT_EMPTY ? S_FALSE : S_OK;
}

HRESULT ClientAccessible::accHitTest(LONG x, LONG y, VARIANT *child)
{
    if (!child)
        return E_POINTER;
    if (!m_window)
        return CO_E_OBJNOTCONNECTED;
    const HWND window = m_window->window();
    POINT at{x, y};
    ScreenToClient(window, &at);
    RECT client;
    GetClientRect(window, &client);
    const int side = deviceBoardPixels(m_window->scale());
    IDispatch *object = nullptr;
    if (at.x >= 0 && at.y >= 0 && at.x < side && at.y < side) {
        object = board();
    } else if (const HWND c = ChildWindowFromPointEx(window, at, CWP_SKIPINVISIBLE); c != window) {
        object = controlObject(c);
    }
    *child = object                  ? objectVariant(object)
             : PtInRect(&client, at) ? childVariant(CHILDID_SELF)
                                     : emptyVariant();
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
