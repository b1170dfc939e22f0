// A side control, or the alert that says a sentence at once, as screen readers read it.
#pragma once

#include "accessible_object.h"

#include <functional>

namespace virurad {

// Its role, name, description and value are the game's, read at every call; the rest is the
// standard object's, the control's own. With `press`, the default action ("Press") calls it.
class TextAccessible final : public AccessibleObject {
  public:
    using Reader = std::function<AccessibleText()>;
    // Takes over the caller's reference to `standard`, which may be null.
    TextAccessible(IAccessible *standard, LONG role, Reader read, std::function<void()> press = {})
        : AccessibleObject(standard), m_role(role), m_read(std::move(read)),
          m_press(std::move(press))
    {
    }
    // The window is going: the object answers nothing more of the game.
    void disconnect()
    {
        m_read = nullptr;
        m_press = nullptr;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        return own(child) ? textAnswer(read().name, name)
                          : AccessibleObject::get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *text) override
    {
        return own(child) ? textAnswer(read().description, text)
                          : AccessibleObject::get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        return own(child) ? textAnswer(read().value, value)
                          : AccessibleObject::get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        return own(child) && role ? (*role = childVariant(m_role), S_OK)
                                  : AccessibleObject::get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return own(child) && m_press ? textAnswer("Press", action)
                                     : AccessibleObject::get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return own(child) && m_press ? (m_press(), S_OK)
                                     : AccessibleObject::accDoDefaultAction(child);
    }

  private:
    static bool own(const VARIANT &child) { return childOf(child) == CHILDID_SELF; }
    // Once disconnected, nothing at all.
    AccessibleText read() const { return m_read ? m_read() : AccessibleText{}; }

    LONG m_role;
    Reader m_read;
    std::function<void()> m_press;
};

} // namespace virurad
