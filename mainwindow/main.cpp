// Treskel's entry point: shows the main window and runs the message loop until the last window is closed.
#include <windows.h>

#include "Dialogs.h"
#include "Failure.h"
#include "Form.h"
#include "Form1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        Form1 form;
        form.Show();
        return forms::Run();
    } catch (const Module1::Failure& failure) {
        forms::MsgBox(nullptr, Module1::Describe(failure), Form1::kAppName);
        return 1;
    }
}
