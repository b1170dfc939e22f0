// UTF-8 to UTF-16 through the system's own converter.
#include "wide_text.h"

#include <windows.h>

namespace virurad {

std::wstring wideText(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
    return wide;
}

} // namespace virurad
