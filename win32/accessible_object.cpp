// Reference counting, and the calls an accessible object leaves to Windows' standard one.
#include "accessible_object.h"

#include "wide_text.h"

namespace virurad {

AccessibleObject::~AccessibleObject()
{
    if (m_inner)
        m_inner->Release();
}

HRESULT AccessibleObject::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG AccessibleObject::AddRef()
{
    return ULONG(InterlockedIncrement(&m_references));
}

ULONG AccessibleObject::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return ULONG(left);
}

HRESULT AccessibleObject::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT AccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo **info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                                 UINT *)
{
    return E_NOTIMPL;
}

// Each call to the standard object, or "not supported" where there is none. A call about a child
// goes there only if the standard object knows that child as the subclass does.
#define FORWARD(call) return m_inner ? m_inner->call : DISP_E_MEMBERNOTFOUND
#define FORWARD_FOR(child, call)                                                                   \
    return !m_inner ? DISP_E_MEMBERNOTFOUND : !sharesChild(child) ? E_INVALIDARG : m_inner->call

HRESULT AccessibleObject::get_accParent(IDispatch **parent)
{
    FORWARD(get_accParent(parent));
}
HRESULT AccessibleObject::get_accChildCount(LONG *count)
{
    FORWARD(get_accChildCount(count));
}
HRESULT AccessibleObject::get_accChild(VARIANT child, IDispatch **object)
{
    FORWARD(get_accChild(child, object));
}
HRESULT AccessibleObject::get_accName(VARIANT child, BSTR *name)
{
    FORWARD_FOR(child, get_accName(child, name));
}
HRESULT AccessibleObject::get_accValue(VARIANT child, BSTR *value)
{
    FORWARD_FOR(child, get_accValue(child, value));
}
HRESULT AccessibleObject::get_accDescription(VARIANT child, BSTR *description)
{
    FORWARD_FOR(child, get_accDescription(child, description));
}
HRESULT AccessibleObject::get_accRole(VARIANT child, VARIANT *role)
{
    FORWARD_FOR(child, get_accRole(child, role));
}
HRESULT AccessibleObject::get_accState(VARIANT child, VARIANT *state)
{
    FORWARD_FOR(child, get_accState(child, state));
}
HRESULT AccessibleObject::get_accHelp(VARIANT child, BSTR *help)
{
    FORWARD_FOR(child, get_accHelp(child, help));
}
HRESULT AccessibleObject::get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic)
{
    FORWARD_FOR(child, get_accHelpTopic(file, child, topic));
}
HRESULT AccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR *shortcut)
{
    FORWARD_FOR(child, get_accKeyboardShortcut(child, shortcut));
}
HRESULT AccessibleObject::get_accFocus(VARIANT *focus)
{
    FORWARD(get_accFocus(focus));
}
HRESULT AccessibleObject::get_accSelection(VARIANT *selection)
{
    FORWARD(get_accSelection(selection));
}
HRESULT AccessibleObject::get_accDefaultAction(VARIANT child, BSTR *action)
{
    FORWARD_FOR(child, get_accDefaultAction(child, action));
}
HRESULT AccessibleObject::accSelect(LONG flags, VARIANT child)
{
    FORWARD_FOR(child, accSelect(flags, child));
}
HRESULT AccessibleObject::accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                      VARIANT child)
{
    FORWARD_FOR(child, accLocation(left, top, width, height, child));
}
HRESULT AccessibleObject::accNavigate(LONG direction, VARIANT start, VARIANT *end)
{
    FORWARD(accNavigate(direction, start, end));
}
HRESULT AccessibleObject::accHitTest(LONG x, LONG y, VARIANT *child)
{
    FORWARD(accHitTest(x, y, child));
}
HRESULT AccessibleObject::accDoDefaultAction(VARIANT child)
{
    FORWARD_FOR(child, accDoDefaultAction(child));
}
HRESULT AccessibleObject::put_accName(VARIANT child, BSTR name)
{
    FORWARD_FOR(child, put_accName(child, name));
}
HRESULT AccessibleObject::put_accValue(VARIANT child, BSTR value)
{
    FORWARD_FOR(child, put_accValue(child, value));
}

#undef FORWARD
#undef FORWARD_FOR

LONG childOf(const VARIANT &child)
{
    return child.vt == VT_I4 ? child.lVal : -1;
}

VARIANT childVariant(LONG id)
{
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

VARIANT objectVariant(IDispatch *object)
{
    VARIANT v{};
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

VARIANT emptyVariant()
{
    VARIANT v{};
    v.vt = VT_EMPTY;
    return v;
}

HRESULT textAnswer(std::string_view utf8, BSTR *out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (utf8.empty())
        return S_FALSE;
    *out = SysAllocString(wideText(utf8).c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT locationAnswer(HWND window, RECT inClient, LONG *left, LONG *top, LONG *width, LONG *height)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&inClient), 2);
    *left = inClient.left;
    *top = inClient.top;
    *width = inClient.right - inClient.left;
    *height = inClient.bottom - inClient.top;
    return S_OK;
}

} // namespace virurad
