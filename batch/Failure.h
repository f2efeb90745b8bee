// A failed system call, carried to the place that tells the user about it.
#pragma once

#include <windows.h>

#include <string>

namespace Module1 {

// What went wrong: the operation in German, naming the file, and the Win32 error code behind it.
struct Failure {
    std::wstring what;
    DWORD error = 0;
};

// The system's own wording for an error code, in the user's language, without a trailing line end.
std::wstring SystemReason(DWORD error);

// The operation and the system's reason, as one text for a message box.
std::wstring Describe(const Failure& failure);

}  // namespace Module1
