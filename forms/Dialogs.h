// The modal message box with only an OK button, and the hook that lets tests answer it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace forms {

class Form;

// Receives what a message box would show. While a hook is set no box appears and MsgBox returns at once.
using MessageBoxHook = std::function<void(HWND owner, const std::wstring& text, const std::wstring& title)>;

// Sets the hook (an empty one shows real boxes again) and returns the one it replaces.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// Shows the text in a modal box owned by the form and returns when the user has confirmed it.
void MsgBox(const Form& owner, const std::wstring& text, const std::wstring& title);
void MsgBox(HWND owner, const std::wstring& text, const std::wstring& title);

}  // namespace forms
