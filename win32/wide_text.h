// The game's UTF-8 texts as the UTF-16 strings that the W calls take.
#pragma once

#include <string>
#include <string_view>

namespace virurad {

std::wstring wideText(std::string_view utf8);

} // namespace virurad
