// Reference counting, and the calls an accessible object leaves to Windows' standard one.
#include "accessible_object.h"

#include "wide_text.h"

#include <array>

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

ULONG AccessibleObject::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return ULONG(left);
}

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

HRESULT textAnswer(std::string_view utf8, BSTR *out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (utf8.empty())
        return S_FALSE;
    *out = LATE_CALL(L"oleaut32.dll", SysAllocString)(wideText(utf8).c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

LONG msaaRole(Role role)
{
    // In the order of Role.
    constexpr std::array<LONG, 5> roles{ROLE_SYSTEM_TABLE, ROLE_SYSTEM_CELL, ROLE_SYSTEM_SCROLLBAR,
                                        ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_PUSHBUTTON};
    return roles.at(std::size_t(role));
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
