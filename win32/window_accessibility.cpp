// Hands the window's accessible objects to screen readers, made on their first request.
#include "window_accessibility.h"

#include "accessible_texts.h"

namespace virurad {

// The size scroll bar as Windows presents it, with the name its picture alone does not give it,
// and the board's size as its value, so that a change of size is heard as "24x24".
class SizeScrollAccessible final : public AccessibleObject {
  public:
    SizeScrollAccessible(AccessibleWindow &window, IAccessible *standard)
        : AccessibleObject(standard), m_window(&window)
    {
    }
    void disconnect() { m_window = nullptr; }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        if (m_window && childOf(child) == CHILDID_SELF)
            return textAnswer(SizeScrollName, name);
        return AccessibleObject::get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        if (m_window && childOf(child) == CHILDID_SELF)
            return textAnswer(m_window->board().sizeCaption(), value);
        return AccessibleObject::get_accValue(child, value);
    }

  private:
    AccessibleWindow *m_window;
};

namespace {

// The object id of a WM_GETOBJECT, which Windows passes as a 32-bit value in a wider LPARAM.
LONG objectId(LPARAM lParam)
{
    return LONG(DWORD(lParam));
}

LRESULT handOver(IAccessible *object, WPARAM wParam)
{
    // The client gets its own reference; ours is let go either way.
    const LRESULT answer = object ? LresultFromObject(__uuidof(IAccessible), wParam, object) : 0;
    if (object)
        object->Release();
    return answer < 0 ? 0 : answer;
}

IAccessible *standardObject(HWND window, LONG id)
{
    IAccessible *standard = nullptr;
    CreateStdAccessibleObject(window, id, __uuidof(IAccessible),
                              reinterpret_cast<void **>(&standard));
    return standard;
}

} // namespace

bool WindowAccessibility::startCom()
{
    // A client's request arrives on the window's own thread, whose apartment hands the objects out.
    if (!m_comStarted)
        m_comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    return m_comStarted;
}

LRESULT WindowAccessibility::answerWindow(AccessibleWindow &window, WPARAM wParam, LPARAM lParam)
{
    const LONG id = objectId(lParam);
    if ((id != OBJID_CLIENT && id != BoardObjectId) || !startCom())
        return 0;
    if (!m_client) {
        IAccessible *standard = standardObject(window.window(), OBJID_CLIENT);
        if (!standard)
            return 0;
        m_client = new ClientAccessible(window, standard);
    }
    if (id == BoardObjectId)
        return handOver(m_client->board(), wParam);
    m_client->AddRef();
    return handOver(m_client, wParam);
}

LRESULT WindowAccessibility::answerSizeScroll(AccessibleWindow &window, HWND bar, WPARAM wParam,
                                              LPARAM lParam)
{
    if (objectId(lParam) != OBJID_CLIENT || !startCom())
        return 0;
    if (!m_sizeScroll) {
        IAccessible *standard = standardObject(bar, OBJID_CLIENT);
        if (!standard)
            return 0;
        m_sizeScroll = new SizeScrollAccessible(window, standard);
    }
    m_sizeScroll->AddRef();
    return handOver(m_sizeScroll, wParam);
}

void WindowAccessibility::disconnect()
{
    if (m_client) {
        m_client->disconnect();
        m_client->Release();
        m_client = nullptr;
    }
    if (m_sizeScroll) {
        m_sizeScroll->disconnect();
        m_sizeScroll->Release();
        m_sizeScroll = nullptr;
    }
    if (m_comStarted) {
        CoUninitialize();
        m_comStarted = false;
    }
}

} // namespace virurad
