// Reads the game as a screen reader does on Windows, from a process of its own, through Microsoft
// Active Accessibility: the objects the window hands out, what sits under a point, what has the
// focus, a cell's default action, and the events the game raises. Each object is printed as
//
//   role R state S at L T W H name "N" value "V" description "D" action "A"
//
// with its role and state as MSAA numbers them and its place in screen pixels; a simple child
// (a cell of the board) has no value or description.
//
//   screen_reader_client tree             the window's client, its children, and theirs in turn
//   screen_reader_client point X Y        what is hit at a screen point, from the window down
//   screen_reader_client focus            what has the focus, asked the way screen readers ask
//   screen_reader_client cells ID...      the board and its children of these ids
//   screen_reader_client act ID           the default action of the board's child ID
//   screen_reader_client events           every focus, name, state, value and reorder event of
//                                         the game's process, with the object it names as read
//                                         at once, until standard input closes
//   screen_reader_client screen-reader 0|1   tells Windows whether a screen reader runs
//
// Exits with 1 when the window is not there, so a test can poll for it.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <deque>
#include <string>

namespace {

const wchar_t GameTitle[] = L"Vir Urad Izuva?";
constexpr LONG BoardChild = 1;

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

VARIANT child(LONG id)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// A text property, or nothing when the object has none.
template <typename Getter> std::string text(IAccessible *object, LONG id, Getter getter)
{
    BSTR value = nullptr;
    if (FAILED((object->*getter)(child(id), &value)) || !value)
        return {};
    std::string result = utf8(value);
    SysFreeString(value);
    return result;
}

LONG number(IAccessible *object, LONG id,
            HRESULT (STDMETHODCALLTYPE IAccessible::*getter)(VARIANT, VARIANT *))
{
    VARIANT value;
    VariantInit(&value);
    if (FAILED((object->*getter)(child(id), &value)))
        return -1;
    const LONG result = value.vt == VT_I4 ? value.lVal : -1;
    VariantClear(&value);
    return result;
}

// An object, or its simple child `id`. A value and a description are asked of objects only: the
// board's 625 cells have none, and each call to the game takes a few milliseconds.
void describe(IAccessible *object, LONG id)
{
    LONG left = 0, top = 0, width = 0, height = 0;
    object->accLocation(&left, &top, &width, &height, child(id));
    std::printf("role %ld state %lx at %ld %ld %ld %ld name \"%s\"",
                number(object, id, &IAccessible::get_accRole),
                number(object, id, &IAccessible::get_accState), left, top, width, height,
                text(object, id, &IAccessible::get_accName).c_str());
    if (id == CHILDID_SELF)
        std::printf(" value \"%s\" description \"%s\"",
                    text(object, id, &IAccessible::get_accValue).c_str(),
                    text(object, id, &IAccessible::get_accDescription).c_str());
    std::printf(" action \"%s\"\n", text(object, id, &IAccessible::get_accDefaultAction).c_str());
}

IAccessible *accessible(IDispatch *object)
{
    IAccessible *result = nullptr;
    if (object)
        object->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void **>(&result));
    return result;
}

IAccessible *windowClient(HWND window)
{
    IAccessible *object = nullptr;
    AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                               reinterpret_cast<void **>(&object));
    return object;
}

// Every child of an object, as AccessibleChildren hands them out: objects, and simple elements
// printed by id; depth counts from the window's client.
void walk(IAccessible *object, int depth)
{
    LONG count = 0;
    object->get_accChildCount(&count);
    if (count <= 0 || depth > 3)
        return;
    VARIANT *children = new VARIANT[std::size_t(count)];
    LONG got = 0;
    AccessibleChildren(object, 0, count, children, &got);
    for (LONG i = 0; i < got; ++i) {
        IAccessible *sub =
            children[i].vt == VT_DISPATCH ? accessible(children[i].pdispVal) : nullptr;
        if (sub) {
            std::printf("%d object %ld children ", depth, i + 1);
            LONG subCount = 0;
            sub->get_accChildCount(&subCount);
            std::printf("%ld ", subCount);
            describe(sub, CHILDID_SELF);
            walk(sub, depth + 1);
            sub->Release();
        } else if (children[i].vt == VT_I4) {
            std::printf("%d element %ld ", depth, children[i].lVal);
            describe(object, children[i].lVal);
        }
        VariantClear(&children[i]);
    }
    delete[] children;
}

int printTree(HWND game)
{
    IAccessible *client = windowClient(game);
    if (!client)
        return 1;
    LONG count = 0;
    client->get_accChildCount(&count);
    std::printf("0 object 0 children %ld ", count);
    describe(client, CHILDID_SELF);
    walk(client, 1);
    client->Release();
    return 0;
}

// Hit testing from the top: the client of the top-level window under the point, and each object
// the last one names there, down to a simple element or an object that answers for itself.
int printPoint(LONG x, LONG y)
{
    IAccessible *object = windowClient(GetAncestor(WindowFromPoint({x, y}), GA_ROOT));
    for (int depth = 0; object && depth < 6; ++depth) {
        VARIANT hit;
        VariantInit(&hit);
        object->accHitTest(x, y, &hit);
        const LONG id = hit.vt == VT_I4 ? hit.lVal : CHILDID_SELF;
        std::printf("hit %d %ld ", depth, id);
        describe(object, hit.vt == VT_DISPATCH ? CHILDID_SELF : id);
        IAccessible *next = hit.vt == VT_DISPATCH ? accessible(hit.pdispVal) : nullptr;
        VariantClear(&hit);
        object->Release();
        object = next;
    }
    return 0;
}

// What has the focus: the focused window's client, and whatever each object says has it.
int printFocus(HWND game)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(game, nullptr), &info);
    std::printf("window %s\n", info.hwndFocus == game ? "game"
                               : info.hwndFocus       ? "control"
                                                      : "none");
    IAccessible *object = info.hwndFocus ? windowClient(info.hwndFocus) : nullptr;
    for (int depth = 0; object && depth < 6; ++depth) {
        VARIANT focus;
        VariantInit(&focus);
        object->get_accFocus(&focus);
        const LONG id = focus.vt == VT_I4 ? focus.lVal : CHILDID_SELF;
        std::printf("focus %d %ld ", depth, id);
        describe(object, id);
        IAccessible *next = focus.vt == VT_DISPATCH ? accessible(focus.pdispVal) : nullptr;
        VariantClear(&focus);
        object->Release();
        object = next;
    }
    return 0;
}

// The board, as the window's client hands it out: its first child.
IAccessible *boardOf(HWND game)
{
    IAccessible *client = windowClient(game);
    IDispatch *dispatch = nullptr;
    if (client) {
        client->get_accChild(child(BoardChild), &dispatch);
        client->Release();
    }
    IAccessible *board = accessible(dispatch);
    if (dispatch)
        dispatch->Release();
    return board;
}

int act(HWND game, LONG id)
{
    IAccessible *board = boardOf(game);
    const HRESULT done = board ? board->accDoDefaultAction(child(id)) : E_FAIL;
    std::printf("act %ld %s\n", id, SUCCEEDED(done) ? "done" : "failed");
    if (board)
        board->Release();
    return SUCCEEDED(done) ? 0 : 2;
}

// The board and some of its cells, by child id.
int printCells(HWND game, int count, wchar_t **ids)
{
    IAccessible *board = boardOf(game);
    if (!board)
        return 1;
    LONG cells = 0;
    board->get_accChildCount(&cells);
    std::printf("1 object 1 children %ld ", cells);
    describe(board, CHILDID_SELF);
    for (int i = 0; i < count; ++i) {
        const LONG id = std::wcstol(ids[i], nullptr, 10);
        std::printf("2 element %ld ", id);
        describe(board, id);
    }
    board->Release();
    return 0;
}

// Events arrive on this thread's message loop; each is read after the callback has returned,
// as a screen reader reads it, since reading may take several calls to the game.
struct Event {
    DWORD kind;
    HWND window;
    LONG object;
    LONG id;
};
std::deque<Event> events;
HWND game;

void CALLBACK onEvent(HWINEVENTHOOK, DWORD kind, HWND window, LONG object, LONG id, DWORD, DWORD)
{
    events.push_back({kind, window, object, id});
    // The callback runs inside GetMessage, which would wait on for a message of its own.
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
}

const char *eventName(DWORD kind)
{
    switch (kind) {
    case EVENT_OBJECT_FOCUS:
        return "focus";
    case EVENT_OBJECT_NAMECHANGE:
        return "name";
    case EVENT_OBJECT_STATECHANGE:
        return "state";
    case EVENT_OBJECT_VALUECHANGE:
        return "value";
    case EVENT_OBJECT_REORDER:
        return "reorder";
    default:
        return nullptr;
    }
}

void printEvent(const Event &e)
{
    const char *name = eventName(e.kind);
    if (!name)
        return;
    wchar_t windowClass[64] = {};
    GetClassNameW(e.window, windowClass, 64);
    std::printf("event %s %s %ld %ld ", name, e.window == game ? "game" : utf8(windowClass).c_str(),
                e.object, e.id);
    IAccessible *object = nullptr;
    VARIANT id;
    VariantInit(&id);
    if (SUCCEEDED(
            AccessibleObjectFromEvent(e.window, DWORD(e.object), DWORD(e.id), &object, &id)) &&
        object) {
        describe(object, id.vt == VT_I4 ? id.lVal : CHILDID_SELF);
        object->Release();
    } else {
        std::printf("unread\n");
    }
    VariantClear(&id);
    std::fflush(stdout);
}

DWORD WINAPI waitForInputEnd(void *thread)
{
    char buffer[64];
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) && read)
        ;
    PostThreadMessageW(DWORD(reinterpret_cast<UINT_PTR>(thread)), WM_QUIT, 0, 0);
    return 0;
}

int watchEvents()
{
    DWORD process = 0;
    GetWindowThreadProcessId(game, &process);
    // Out of context and filtered by the game's process: Wine delivers nothing to a hook that
    // asks to skip its own process.
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_VALUECHANGE,
                                               nullptr, onEvent, process, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook)
        return 1;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue, for WM_QUIT
    CreateThread(nullptr, 0, waitForInputEnd,
                 reinterpret_cast<void *>(UINT_PTR(GetCurrentThreadId())), 0, nullptr);
    std::printf("watching\n");
    std::fflush(stdout);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
        while (!events.empty()) {
            const Event e = events.front();
            events.pop_front();
            printEvent(e);
        }
    }
    for (const Event &e : events)
        printEvent(e);
    UnhookWinEvent(hook);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    // Aware of each monitor's density as the game is, so that places read are device pixels.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (argc == 3 && std::wcscmp(argv[1], L"screen-reader") == 0)
        return SystemParametersInfoW(SPI_SETSCREENREADER, argv[2][0] == L'1', nullptr,
                                     SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)
                   ? 0
                   : 1;
    game = FindWindowW(L"VirUradIzuvaForm1", GameTitle);
    if (!game || !IsWindowVisible(game) || argc < 2)
        return 1;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring what = argv[1];
    int status = 1;
    if (what == L"tree")
        status = printTree(game);
    else if (what == L"point" && argc == 4)
        status = printPoint(std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10));
    else if (what == L"focus")
        status = printFocus(game);
    else if (what == L"act" && argc == 3)
        status = act(game, std::wcstol(argv[2], nullptr, 10));
    else if (what == L"cells")
        status = printCells(game, argc - 2, argv + 2);
    else if (what == L"events")
        status = watchEvents();
    std::fflush(stdout);
    CoUninitialize();
    return status;
}
