// What every accessible object of the window shares: COM's bookkeeping, and the standard object
// Windows makes for a control, which answers whatever ours has nothing to add to.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string_view>

namespace virurad {

// An IAccessible that hands every call to `inner`, a standard object of Windows' own, unless a
// subclass answers it. Without an inner object, a call no subclass answers is not implemented.
// Objects start with one reference, which their creator owns.
class AccessibleObject : public IAccessible {
  public:
    AccessibleObject(const AccessibleObject &) = delete;
    AccessibleObject &operator=(const AccessibleObject &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Screen readers call IAccessible through its own table, never by name, so no type
    // information is offered.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                     EXCEPINFO *, UINT *) override;

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

  protected:
    // Takes over the caller's reference to `inner`, if any.
    explicit AccessibleObject(IAccessible *inner = nullptr) : m_inner(inner) {}
    virtual ~AccessibleObject();

    IAccessible *inner() const { return m_inner; }
    // Whether the standard object numbers `child` as this one does, so that a call about it can
    // go there; by default every child.
    virtual bool sharesChild(const VARIANT &) const { return true; }

  private:
    LONG m_references = 1;
    IAccessible *m_inner;
};

// The child a VARIANT names: its id, or -1 for anything but a plain number.
LONG childOf(const VARIANT &child);
// A VARIANT holding a child's id (CHILDID_SELF for the object itself), or another object.
VARIANT childVariant(LONG id);
VARIANT objectVariant(IDispatch *object);
VARIANT emptyVariant();
// Text for a client, which frees it; S_FALSE and no text where there is nothing to say.
HRESULT textAnswer(std::string_view utf8, BSTR *out);
// A rectangle of the window's client area, in device pixels, where it stands on the screen.
HRESULT locationAnswer(HWND window, RECT inClient, LONG *left, LONG *top, LONG *width,
                       LONG *height);

} // namespace virurad
