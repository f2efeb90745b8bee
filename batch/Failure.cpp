// Turns Win32 error codes into the text a user reads.
#include "Failure.h"

namespace Module1 {

std::wstring SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason;
    if (length != 0 && text != nullptr) {
        reason.assign(text, length);
        LocalFree(text);
    }
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' '))
        reason.pop_back();
    if (reason.empty())
        reason = L"Systemfehler " + std::to_wstring(error);
    return reason;
}

std::wstring Describe(const Failure& failure) {
    return failure.what + L"\r\n\r\n" + SystemReason(failure.error);
}

}  // namespace Module1
