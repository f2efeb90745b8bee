// Message boxes.
#include "Dialogs.h"

#include "Form.h"

namespace forms {

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

void MsgBox(HWND owner, const std::wstring& text, const std::wstring& title) {
    if (Hook()) {
        Hook()(owner, text, title);
        return;
    }
    // A box that can't be shown (no memory for it) leaves nothing else to tell the user with.
    MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK);
}

void MsgBox(const Form& owner, const std::wstring& text, const std::wstring& title) {
    MsgBox(owner.Handle(), text, title);
}

}  // namespace forms
