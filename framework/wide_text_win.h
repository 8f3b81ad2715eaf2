#pragma once

// UTF-8 and the UTF-16 of the Windows wide calls (Windows builds only).
// Invalid sequences become U+FFFD rather than failing: a name the user
// typed still reaches the system as close as it can be written.

#include <string>

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const wchar_t* text);
