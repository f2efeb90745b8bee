// The per-user settings store: text values under HKEY_CURRENT_USER\Software\<application>\<section>.
#pragma once

#include <windows.h>

#include <string>

namespace forms {

// The stored text, or the default when the key holds none or the store can't be read.
std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                        const std::wstring& defaultValue);

// Creates or replaces the value. Returns ERROR_SUCCESS or the system's error code.
LSTATUS SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value);

}  // namespace forms
