// Settings in the registry of the current user, one key per application and section, string values.
#include "Settings.h"

namespace forms {

namespace {

std::wstring SectionKey(const std::wstring& application, const std::wstring& section) {
    return L"Software\\" + application + L"\\" + section;
}

}  // namespace

std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                        const std::wstring& defaultValue) {
    const std::wstring subKey = SectionKey(application, section);
    constexpr DWORD kFlags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    for (int attempt = 0; attempt < 4; ++attempt) {  // the value may grow between the two calls
        DWORD bytes = 0;
        LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), key.c_str(), kFlags, nullptr, nullptr, &bytes);
        if (status != ERROR_SUCCESS)
            return defaultValue;
        std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        status = RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), key.c_str(), kFlags, nullptr, value.data(), &bytes);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            return defaultValue;
        value.resize(bytes / sizeof(wchar_t));
        while (!value.empty() && value.back() == L'\0')
            value.pop_back();
        return value;
    }
    return defaultValue;
}

LSTATUS SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value) {
    HKEY sectionKey = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(application, section).c_str(), 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &sectionKey, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExW(sectionKey, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(sectionKey);
    return status;
}

}  // namespace forms
