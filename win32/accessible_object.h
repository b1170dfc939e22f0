// What every accessible object of the window shares: the window, COM's bookkeeping, Windows' own.
#pragma once

#include "accessible_texts.h"

#include <windows.h>

#include <oleacc.h>

#include <string_view>

namespace virurad {

// A call of COM or MSAA, found in its library as it is made: the libraries load at a screen
// reader's first request, since most players use none and loading them costs more than the
// whole window. Every Windows the game runs on has them.
#define LATE_CALL(library, function)                                                               \
    reinterpret_cast<decltype(&function)>(                                                         \
        reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(library), #function)))

// Object ids of the window's own, for the board and the alert in WM_GETOBJECT and in events.
inline constexpr LONG BoardObjectId = 1;
inline constexpr LONG AlertObjectId = 2;

class AccessibleWindow {
  public:
    virtual HWND window() const = 0;
    // The window of a side control; null for the board.
    virtual HWND control(Control control) const = 0;
    virtual const Game &game() const = 0;
    // Device pixels to a layout pixel.
    virtual double scale() const = 0;
    // A screen reader's action on cell k, and its focus put on cell k, played and shown.
    virtual void playCell(int k, MouseButton button) = 0;
    virtual void takeFocus(int k) = 0;

  protected:
    ~AccessibleWindow() = default;
};

// An IAccessible that hands each call no subclass answers to `inner`, Windows' standard object, if
// there is one. Objects start with one reference, which their creator owns.
class AccessibleObject : public IAccessible {
  public:
    AccessibleObject(const AccessibleObject &) = delete;
    AccessibleObject &operator=(const AccessibleObject &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override;

    // Screen readers call IAccessible through its own table: no type information is offered.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        return count ? (*count = 0, S_OK) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                     EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }

// Each call to the standard object, or "not supported" where there is none. A call about a child
// goes there only if the standard object knows that child as the subclass does.
#define FORWARD(declaration, call)                                                                 \
    HRESULT STDMETHODCALLTYPE declaration override                                                 \
    {                                                                                              \
        return m_inner ? m_inner->call : DISP_E_MEMBERNOTFOUND;                                    \
    }
#define FORWARD_FOR(declaration, call)                                                             \
    HRESULT STDMETHODCALLTYPE declaration override                                                 \
    {                                                                                              \
        return !m_inner              ? DISP_E_MEMBERNOTFOUND                                       \
               : !sharesChild(child) ? E_INVALIDARG                                                \
                                     : m_inner->call;                                              \
    }

    FORWARD(get_accParent(IDispatch **parent), get_accParent(parent))
    FORWARD(get_accChildCount(LONG *count), get_accChildCount(count))
    FORWARD(get_accChild(VARIANT child, IDispatch **object), get_accChild(child, object))
    FORWARD_FOR(get_accName(VARIANT child, BSTR *name), get_accName(child, name))
    FORWARD_FOR(get_accValue(VARIANT child, BSTR *value), get_accValue(child, value))
    FORWARD_FOR(get_accDescription(VARIANT child, BSTR *text), get_accDescription(child, text))
    FORWARD_FOR(get_accRole(VARIANT child, VARIANT *role), get_accRole(child, role))
    FORWARD_FOR(get_accState(VARIANT child, VARIANT *state), get_accState(child, state))
    FORWARD_FOR(get_accHelp(VARIANT child, BSTR *help), get_accHelp(child, help))
    FORWARD_FOR(get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic),
                get_accHelpTopic(file, child, topic))
    FORWARD_FOR(get_accKeyboardShortcut(VARIANT child, BSTR *keys),
                get_accKeyboardShortcut(child, keys))
    FORWARD(get_accFocus(VARIANT *focus), get_accFocus(focus))
    FORWARD(get_accSelection(VARIANT *selection), get_accSelection(selection))
    FORWARD_FOR(get_accDefaultAction(VARIANT child, BSTR *action),
                get_accDefaultAction(child, action))
    FORWARD_FOR(accSelect(LONG flags, VARIANT child), accSelect(flags, child))
    FORWARD_FOR(accLocation(LONG *left, LONG *top, LONG *width, LONG *height, VARIANT child),
                accLocation(left, top, width, height, child))
    FORWARD(accNavigate(LONG direction, VARIANT start, VARIANT *end),
            accNavigate(direction, start, end))
    FORWARD(accHitTest(LONG x, LONG y, VARIANT *child), accHitTest(x, y, child))
    FORWARD_FOR(accDoDefaultAction(VARIANT child), accDoDefaultAction(child))
    FORWARD_FOR(put_accName(VARIANT child, BSTR name), put_accName(child, name))
    FORWARD_FOR(put_accValue(VARIANT child, BSTR value), put_accValue(child, value))

#undef FORWARD
#undef FORWARD_FOR

  protected:
    // Takes over the caller's reference to `inner`, if any.
    explicit AccessibleObject(IAccessible *inner = nullptr) : m_inner(inner) {}
    virtual ~AccessibleObject();

    // Whether the standard object numbers `child` as this one does, for a call about it to go
    // there.
    virtual bool sharesChild(const VARIANT &) const
    {
        return true;
    }

  private:
    LONG m_references = 1;
    IAccessible *m_inner;
};

// The child a VARIANT names: its id, or -1 for anything but a plain number.
LONG childOf(const VARIANT &child);
// A VARIANT holding a child's id (CHILDID_SELF for the object itself), or another object.
VARIANT childVariant(LONG id);
VARIANT objectVariant(IDispatch *object);
// Text for a client, which frees it; S_FALSE and no text where there is nothing to say.
HRESULT textAnswer(std::string_view utf8, BSTR *out);
// The MSAA role of a part of the window as the game names it.
LONG msaaRole(Role role);
// A rectangle of the window's client area, in device pixels, where it stands on the screen.
HRESULT locationAnswer(HWND window, RECT inClient, LONG *left, LONG *top, LONG *width,
                       LONG *height);

} // namespace virurad
