// The game's UTF-8 texts as the UTF-16 strings that the W calls take.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace virurad {

inline std::wstring wideText(std::string_view utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
    return wide;
}

} // namespace virurad
