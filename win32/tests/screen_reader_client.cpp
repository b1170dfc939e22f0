// A screen reader's side of the game on Windows, in a process of its own, through Microsoft
// Active Accessibility: it listens to the game's events all the while (the focus, name changes,
// alerts, dialogs opening), reads each as a screen reader does, and answers a test's questions,
// one line on standard input each, with one line of JSON.
//
//   screen_reader_client screen-reader 0|1   tells Windows whether a screen reader runs
//   screen_reader_client listen              listens, and takes these until its input ends:
//
//   start              forgets what was heard and how many boxes opened      -> "ok"
//   focus              the focus as last told and read, "role: name"
//   heard              every alert's sentence since start                    -> ["...", ...]
//   boxes              how many dialogs started since start
//   box                the open message box, {"title": T, "text": T}, or null
//   board              the table: {"role", "children", "description", "last"}, its last cell's name
//   names ID...        {"ID": name} of the table's cells
//   locate ID...       {"ID": [left, top, width, height]} of the table's cells on the screen
//   hit X Y            what hit testing finds at a screen point, from the window down: [id, name]
//   controls           the client's children after the table: [{role, name, description, value,
//                      at}]
//   act ID             the default action of a cell                          -> {"result": HRESULT}
//   act-old ID         the same on the table of the game before the last new game
//   press NAME         the default action of the client's child of that name
//   take-focus ID      a screen reader's focus put on a cell
//
// Roles are named as the game's tests name them ("table", "table cell", "scroll bar", "label",
// "button", "alert"), any other by MSAA's own text. What cannot be read now (no table yet, an
// object of the last game) is {"error": HRESULT}. Places are device pixels.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <deque>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

const wchar_t GameTitle[] = L"Vir Urad Izuva?";
constexpr LONG BoardChild = 1, BoardObjectId = 1;

std::string utf8(const wchar_t *wide)
{
    if (!wide || !*wide)
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(std::size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
    text.resize(std::size_t(length) - 1);
    return text;
}

std::string quoted(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' || c == '\\' ? std::string{'\\', c} : std::string{c};
    return out + '"';
}

std::string result(HRESULT hr, const char *key = "error")
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "{\"%s\": \"%08lx\"}", key,
                  static_cast<unsigned long>(hr));
    return buffer;
}

VARIANT child(LONG id)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// An object a screen reader holds on to, released when it lets go.
class Held {
  public:
    Held() = default;
    Held(const Held &) = delete;
    Held &operator=(const Held &) = delete;
    ~Held() { reset(); }
    IAccessible *get() const { return m_object; }
    void reset(IAccessible *object = nullptr)
    {
        if (m_object)
            m_object->Release();
        m_object = object;
    }
    IAccessible *take() { return std::exchange(m_object, nullptr); }

  private:
    IAccessible *m_object = nullptr;
};

template <typename Getter> std::string text(IAccessible *object, LONG id, Getter getter)
{
    BSTR value = nullptr;
    if (FAILED((object->*getter)(child(id), &value)) || !value)
        return {};
    std::string read = utf8(value);
    SysFreeString(value);
    return read;
}

std::string nameOf(IAccessible *object, LONG id)
{
    return text(object, id, &IAccessible::get_accName);
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string roleOf(IAccessible *object, LONG id)
{
    VARIANT role;
    VariantInit(&role);
    if (FAILED(object->get_accRole(child(id), &role)) || role.vt != VT_I4)
        return "none";
    // Wine's objects call every control a client, where Windows' own name a button a button and
    // a static text a static text; a screen reader then goes by the window's class, and so here.
    HWND window = nullptr;
    if (role.lVal == ROLE_SYSTEM_CLIENT && id == CHILDID_SELF &&
        SUCCEEDED(WindowFromAccessibleObject(object, &window)))
        role.lVal = classOf(window) == L"Button"   ? ROLE_SYSTEM_PUSHBUTTON
                    : classOf(window) == L"Static" ? ROLE_SYSTEM_STATICTEXT
                                                   : role.lVal;
    static const std::map<LONG, std::string> names{
        {ROLE_SYSTEM_TABLE, "table"},          {ROLE_SYSTEM_CELL, "table cell"},
        {ROLE_SYSTEM_SCROLLBAR, "scroll bar"}, {ROLE_SYSTEM_STATICTEXT, "label"},
        {ROLE_SYSTEM_PUSHBUTTON, "button"},    {ROLE_SYSTEM_ALERT, "alert"}};
    if (const auto found = names.find(role.lVal); found != names.end())
        return found->second;
    wchar_t buffer[128] = {};
    GetRoleTextW(DWORD(role.lVal), buffer, 128);
    return utf8(buffer);
}

// "role: name", as the focus is read out.
std::string spoken(IAccessible *object, LONG id)
{
    return roleOf(object, id) + ": " + nameOf(object, id);
}

IAccessible *accessible(IDispatch *object)
{
    IAccessible *found = nullptr;
    if (object) {
        object->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void **>(&found));
        object->Release();
    }
    return found;
}

IAccessible *windowObject(HWND window, LONG id)
{
    IAccessible *object = nullptr;
    AccessibleObjectFromWindow(window, DWORD(id), __uuidof(IAccessible),
                               reinterpret_cast<void **>(&object));
    return object;
}

IAccessible *childObject(IAccessible *parent, LONG id)
{
    IDispatch *dispatch = nullptr;
    if (parent)
        parent->get_accChild(child(id), &dispatch);
    return accessible(dispatch);
}

BOOL CALLBACK findBox(HWND window, LPARAM found)
{
    auto *box = reinterpret_cast<std::pair<HWND, HWND> *>(found);
    if (classOf(window) == L"#32770" && GetWindow(window, GW_OWNER) == box->first &&
        IsWindowVisible(window)) {
        box->second = window;
        return FALSE;
    }
    return TRUE;
}

class Listener {
  public:
    explicit Listener(HWND game) : m_game(game) {}
    void told(DWORD kind, HWND window, LONG object, LONG id);
    std::string answer(const std::string &line);

  private:
    IAccessible *board();
    std::string focus();
    std::string box() const;
    std::string table();
    std::string cells(std::istringstream &ids, bool places);
    std::string hit(LONG x, LONG y) const;
    std::string controls() const;
    std::string act(IAccessible *table, LONG id) const;
    std::string press(const std::string &wanted) const;
    std::string takeFocus(LONG id);

    HWND m_game;
    Held m_focus; // what the last focus event named
    LONG m_focusChild = CHILDID_SELF;
    std::tuple<HWND, LONG, LONG> m_focusEvent;
    std::string m_focusRead; // as read then, and again at each change of its name
    std::vector<std::string> m_heard;
    int m_boxes = 0;
    std::set<HWND> m_boxesSeen;
    Held m_board;    // the table of this game, once asked for
    Held m_oldBoard; // the table of the game before
};

void Listener::told(DWORD kind, HWND window, LONG object, LONG id)
{
    // Each box once, however it is told: Windows says a dialog starts, Wine only that a window
    // of a dialog's class was made.
    if (kind == EVENT_SYSTEM_DIALOGSTART) {
        m_boxes += m_boxesSeen.insert(window).second;
        return;
    }
    if (kind == EVENT_OBJECT_REORDER && window == m_game && object == BoardObjectId) {
        if (m_board.get())
            m_oldBoard.reset(m_board.take());
        return;
    }
    const bool focusRenamed = kind == EVENT_OBJECT_NAMECHANGE && m_focus.get() &&
                              m_focusEvent == std::tuple{window, object, id};
    if (kind != EVENT_SYSTEM_ALERT && kind != EVENT_OBJECT_FOCUS && !focusRenamed)
        return;
    IAccessible *read = nullptr;
    VARIANT readId;
    VariantInit(&readId);
    if (FAILED(AccessibleObjectFromEvent(window, DWORD(object), DWORD(id), &read, &readId)) ||
        !read)
        return;
    const LONG readChild = readId.vt == VT_I4 ? readId.lVal : CHILDID_SELF;
    if (kind == EVENT_SYSTEM_ALERT) {
        m_heard.push_back(nameOf(read, readChild));
        read->Release();
        return;
    }
    m_focusRead = spoken(read, readChild);
    if (kind == EVENT_OBJECT_FOCUS) {
        m_focus.reset(read);
        m_focusChild = readChild;
        m_focusEvent = {window, object, id};
    } else {
        read->Release();
    }
}

IAccessible *Listener::board()
{
    if (!m_board.get()) {
        Held client;
        client.reset(windowObject(m_game, OBJID_CLIENT));
        m_board.reset(childObject(client.get(), BoardChild));
    }
    return m_board.get();
}

// As told by the last focus event; before any, as the window answers when asked, from the
// focused window down.
std::string Listener::focus()
{
    if (m_focus.get())
        return quoted(m_focusRead);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(m_game, nullptr), &info);
    IAccessible *object = info.hwndFocus ? windowObject(info.hwndFocus, OBJID_CLIENT) : nullptr;
    std::string read = "nothing";
    for (int depth = 0; object && depth < 4; ++depth) {
        VARIANT focus;
        VariantInit(&focus);
        object->get_accFocus(&focus);
        read = spoken(object, focus.vt == VT_I4 ? focus.lVal : CHILDID_SELF);
        IAccessible *next = focus.vt == VT_DISPATCH ? accessible(focus.pdispVal) : nullptr;
        object->Release();
        object = next;
    }
    return quoted(read);
}

// The box by its window's name and its one line of text.
std::string Listener::box() const
{
    std::pair<HWND, HWND> found{m_game, nullptr};
    EnumWindows(findBox, reinterpret_cast<LPARAM>(&found));
    if (!found.second)
        return "null";
    Held window;
    window.reset(windowObject(found.second, OBJID_CLIENT));
    std::string title = window.get() ? nameOf(window.get(), CHILDID_SELF) : "", message;
    for (HWND part = GetWindow(found.second, GW_CHILD); part; part = GetWindow(part, GW_HWNDNEXT)) {
        Held object;
        object.reset(windowObject(part, OBJID_CLIENT));
        if (object.get() && roleOf(object.get(), CHILDID_SELF) == "label")
            message += nameOf(object.get(), CHILDID_SELF);
    }
    return "{\"title\": " + quoted(title) + ", \"text\": " + quoted(message) + "}";
}

std::string Listener::table()
{
    IAccessible *table = board();
    LONG count = 0;
    const HRESULT hr = table ? table->get_accChildCount(&count) : E_FAIL;
    if (FAILED(hr))
        return result(hr);
    return "{\"role\": " + quoted(roleOf(table, CHILDID_SELF)) +
           ", \"children\": " + std::to_string(count) + ", \"description\": " +
           quoted(text(table, CHILDID_SELF, &IAccessible::get_accDescription)) +
           ", \"last\": " + quoted(nameOf(table, count)) + "}";
}

std::string Listener::cells(std::istringstream &ids, bool places)
{
    IAccessible *table = board();
    std::string out;
    for (LONG id = 0; ids >> id;) {
        std::string read;
        LONG left = 0, top = 0, width = 0, height = 0;
        BSTR name = nullptr;
        const HRESULT hr = !table   ? E_FAIL
                           : places ? table->accLocation(&left, &top, &width, &height, child(id))
                                    : table->get_accName(child(id), &name);
        if (FAILED(hr))
            return result(hr);
        if (places)
            read = std::string("[") + std::to_string(left) + ", " + std::to_string(top) + ", " +
                   std::to_string(width) + ", " + std::to_string(height) + "]";
        else
            read = quoted(utf8(name));
        SysFreeString(name);
        out += (out.empty() ? "{" : ", ") + quoted(std::to_string(id)) + ": " + read;
    }
    return out.empty() ? "{}" : out + "}";
}

// Down from the window's client to a simple child, or to an object that answers for itself.
std::string Listener::hit(LONG x, LONG y) const
{
    IAccessible *object = windowObject(m_game, OBJID_CLIENT);
    std::string found = "null";
    for (int depth = 0; object && depth < 4; ++depth) {
        VARIANT hit;
        VariantInit(&hit);
        object->accHitTest(x, y, &hit);
        const LONG id = hit.vt == VT_I4 ? hit.lVal : CHILDID_SELF;
        found = std::string("[") + std::to_string(id) + ", " + quoted(nameOf(object, id)) + "]";
        IAccessible *next = hit.vt == VT_DISPATCH ? accessible(hit.pdispVal) : nullptr;
        object->Release();
        object = next;
    }
    return found;
}

std::string Listener::controls() const
{
    Held client;
    client.reset(windowObject(m_game, OBJID_CLIENT));
    LONG count = 0;
    if (client.get())
        client.get()->get_accChildCount(&count);
    std::string out = "[";
    for (LONG id = BoardChild + 1; id <= count; ++id) {
        Held control;
        control.reset(childObject(client.get(), id));
        if (!control.get())
            return result(E_FAIL);
        IAccessible *c = control.get();
        LONG left = 0, top = 0, width = 0, height = 0;
        c->accLocation(&left, &top, &width, &height, child(CHILDID_SELF));
        out += std::string(id > BoardChild + 1 ? ", " : "") + "{\"role\": " + quoted(roleOf(c, 0)) +
               ", \"name\": " + quoted(nameOf(c, 0)) +
               ", \"description\": " + quoted(text(c, 0, &IAccessible::get_accDescription)) +
               ", \"value\": " + quoted(text(c, 0, &IAccessible::get_accValue)) +
               ", \"at\": [" + std::to_string(left) + ", " + std::to_string(top) + ", " +
               std::to_string(width) + ", " + std::to_string(height) + "]}";
    }
    return out + "]";
}

std::string Listener::act(IAccessible *table, LONG id) const
{
    return result(table ? table->accDoDefaultAction(child(id)) : E_FAIL, "result");
}

std::string Listener::press(const std::string &wanted) const
{
    Held client;
    client.reset(windowObject(m_game, OBJID_CLIENT));
    for (LONG id = BoardChild + 1; client.get() && id <= BoardChild + 4; ++id) {
        Held control;
        control.reset(childObject(client.get(), id));
        if (control.get() && nameOf(control.get(), CHILDID_SELF) == wanted)
            return result(control.get()->accDoDefaultAction(child(CHILDID_SELF)), "result");
    }
    return result(E_INVALIDARG);
}

std::string Listener::takeFocus(LONG id)
{
    IAccessible *table = board();
    return result(table ? table->accSelect(SELFLAG_TAKEFOCUS, child(id)) : E_FAIL, "result");
}

std::string Listener::answer(const std::string &line)
{
    std::istringstream words(line);
    std::string command;
    words >> command;
    LONG a = 0, b = 0;
    if (command == "start") {
        m_heard.clear();
        m_boxes = 0;
        m_boxesSeen.clear();
        return "\"ok\"";
    }
    if (command == "focus")
        return focus();
    if (command == "heard") {
        std::string out;
        for (const std::string &sentence : m_heard)
            out += (out.empty() ? "" : ", ") + quoted(sentence);
        return "[" + out + "]";
    }
    if (command == "boxes")
        return std::to_string(m_boxes);
    if (command == "box")
        return box();
    if (command == "board")
        return table();
    if (command == "names" || command == "locate")
        return cells(words, command == "locate");
    if (command == "hit" && words >> a >> b)
        return hit(a, b);
    if (command == "controls")
        return controls();
    if (command == "act" && words >> a)
        return act(board(), a);
    if (command == "act-old" && words >> a)
        return act(m_oldBoard.get(), a);
    if (command == "press") {
        std::string name;
        std::getline(words >> std::ws, name);
        return press(name);
    }
    if (command == "take-focus" && words >> a)
        return takeFocus(a);
    return result(E_INVALIDARG);
}

// Events arrive through the message loop; each is kept until the callback has returned, as
// reading it calls into the game, which may be telling the next one.
struct Event {
    DWORD kind; // a dialog's start or making is told as EVENT_SYSTEM_DIALOGSTART alone
    HWND window;
    LONG object;
    LONG id;
};
std::deque<Event> events;

void CALLBACK onEvent(HWINEVENTHOOK, DWORD kind, HWND window, LONG object, LONG id, DWORD, DWORD)
{
    // A box may be gone by the time the event is read: its class is asked at once.
    const bool dialog = (kind == EVENT_SYSTEM_DIALOGSTART || kind == EVENT_OBJECT_CREATE) &&
                        object == OBJID_WINDOW && classOf(window) == L"#32770";
    if (dialog || kind != EVENT_OBJECT_CREATE)
        events.push_back({dialog ? EVENT_SYSTEM_DIALOGSTART : kind, window, object, id});
}

// The test's commands, read on a thread of their own so that events are heard meanwhile. They
// are handed over in a queue, not as messages: a call into the game pumps this thread's messages
// while it waits, and would drop one meant for the loop below.
std::mutex commandsLock;
std::deque<std::string> commands;
HANDLE commandsWaiting;
bool inputEnded = false;

DWORD WINAPI readCommands(void *)
{
    for (std::string line; std::getline(std::cin, line);) {
        const std::lock_guard lock(commandsLock);
        commands.push_back(line);
        SetEvent(commandsWaiting);
    }
    const std::lock_guard lock(commandsLock);
    inputEnded = true;
    SetEvent(commandsWaiting);
    return 0;
}

void hearEvents(Listener &listener)
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    while (!events.empty()) {
        const Event e = events.front();
        events.pop_front();
        listener.told(e.kind, e.window, e.object, e.id);
    }
}

int listen(HWND game)
{
    DWORD process = 0;
    GetWindowThreadProcessId(game, &process);
    // Out of context and filtered by the game's process: Wine delivers nothing to a hook that
    // asks to skip its own process.
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_OBJECT_NAMECHANGE, nullptr,
                                               onEvent, process, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook)
        return 1;
    Listener listener(game);
    commandsWaiting = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CreateThread(nullptr, 0, readCommands, nullptr, 0, nullptr);
    std::printf("\"listening\"\n");
    std::fflush(stdout);
    for (bool ended = false; !ended;) {
        MsgWaitForMultipleObjects(1, &commandsWaiting, FALSE, INFINITE, QS_ALLINPUT);
        hearEvents(listener);
        std::unique_lock lock(commandsLock);
        while (!commands.empty()) {
            const std::string line = commands.front();
            commands.pop_front();
            lock.unlock();
            // What the game told before the question is heard before it is answered.
            hearEvents(listener);
            std::printf("%s\n", listener.answer(line).c_str());
            std::fflush(stdout);
            lock.lock();
        }
        ended = inputEnded;
    }
    UnhookWinEvent(hook);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    // Aware of each monitor's density as the game is, so that places read are device pixels.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (argc == 3 && std::wstring(argv[1]) == L"screen-reader")
        return SystemParametersInfoW(SPI_SETSCREENREADER, argv[2][0] == L'1', nullptr,
                                     SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)
                   ? 0
                   : 1;
    const HWND game = FindWindowW(L"VirUradIzuvaForm1", GameTitle);
    if (!game || !IsWindowVisible(game) || argc != 2 || std::wstring(argv[1]) != L"listen")
        return 1;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = listen(game);
    CoUninitialize();
    return status;
}
