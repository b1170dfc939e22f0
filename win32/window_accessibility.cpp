// Hands the window's accessible objects to screen readers, made on their first request.
#include "window_accessibility.h"

#include "board_accessible.h"
#include "text_accessible.h"

namespace virurad {

namespace {

IAccessible *standardObject(HWND window, LONG id)
{
    IAccessible *standard = nullptr;
    LATE_CALL(L"oleacc.dll", CreateStdAccessibleObject)
    (window, id, __uuidof(IAccessible), reinterpret_cast<void **>(&standard));
    return standard;
}

TextAccessible *controlObject(AccessibleWindow &window, Control control)
{
    const HWND hwnd = window.control(control);
    auto read = [&window, control] { return accessibleText(window.game().board(), control); };
    // Posted, not sent: the box it opens would keep the screen reader's call waiting until it
    // closed, and the button's own object need not press an owner-drawn button at all.
    auto press = [hwnd] {
        PostMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd));
    };
    return new TextAccessible(standardObject(hwnd, OBJID_CLIENT), msaaRole(read().role), read,
                              control == Control::Test ? std::function<void()>(press) : nullptr);
}

LRESULT handOver(IAccessible *object, WPARAM wParam)
{
    if (!object)
        return 0;
    // The client gets its own reference.
    const LRESULT answer =
        LATE_CALL(L"oleacc.dll", LresultFromObject)(__uuidof(IAccessible), wParam, object);
    return answer < 0 ? 0 : answer;
}

} // namespace

bool WindowAccessibility::startCom()
{
    // A client's request arrives on the window's own thread, whose apartment hands the objects out.
    if (!m_comStarted)
        m_comStarted =
            SUCCEEDED(LATE_CALL(L"ole32.dll", CoInitializeEx)(nullptr, COINIT_APARTMENTTHREADED));
    return m_comStarted;
}

LRESULT WindowAccessibility::answerWindow(AccessibleWindow &window, WPARAM wParam, LPARAM lParam)
{
    // Windows passes the object id as a 32-bit value in a wider LPARAM.
    const auto id = LONG(DWORD(lParam));
    if ((id != OBJID_CLIENT && id != BoardObjectId && id != AlertObjectId) || !startCom())
        return 0;
    if (id == AlertObjectId) {
        if (!m_alert)
            m_alert = new TextAccessible(nullptr, ROLE_SYSTEM_ALERT, [this] {
                return AccessibleText{Role::Label, m_announcement, "", ""};
            });
        return handOver(m_alert, wParam);
    }
    if (!m_client)
        m_client = new ClientAccessible(window, standardObject(window.window(), OBJID_CLIENT));
    if (id == OBJID_CLIENT)
        return handOver(m_client, wParam);
    IAccessible *board = m_client->board();
    const LRESULT answer = handOver(board, wParam);
    if (board)
        board->Release();
    return answer;
}

LRESULT WindowAccessibility::answerControl(AccessibleWindow &window, Control control, WPARAM wParam,
                                           LPARAM lParam)
{
    if (control < Control::SizeScroll || LONG(DWORD(lParam)) != OBJID_CLIENT || !startCom())
        return 0;
    TextAccessible *&object = m_controls[std::size_t(control)];
    if (!object)
        object = controlObject(window, control);
    return handOver(object, wParam);
}

void WindowAccessibility::newBoard()
{
    if (m_client)
        m_client->replaceBoard();
}

void WindowAccessibility::announce(HWND window, std::string_view text)
{
    m_announcement = text;
    NotifyWinEvent(EVENT_SYSTEM_ALERT, window, AlertObjectId, CHILDID_SELF);
}

void WindowAccessibility::disconnect()
{
    const auto letGo = [](auto *&object) {
        if (object) {
            object->disconnect();
            object->Release();
            object = nullptr;
        }
    };
    letGo(m_client);
    letGo(m_alert);
    for (TextAccessible *&object : m_controls)
        letGo(object);
    if (m_comStarted) {
        LATE_CALL(L"ole32.dll", CoUninitialize)();
        m_comStarted = false;
    }
}

} // namespace virurad
