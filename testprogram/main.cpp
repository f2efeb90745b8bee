// test.exe: a window that shows itself for one second and closes. Its arguments are never read.
#include <windows.h>

#include "Controls.h"
#include "Dialogs.h"
#include "Failure.h"
#include "Form.h"
// Our hand cursor's ID has the name of the system's hand cursor, which windows.h defines.
#undef IDC_HAND
#include "resource.h"

namespace {

// The test window: the word "TEST" over a picture, and a timer that closes it.
class Form1 : public forms::Form {
public:
    Form1();

    forms::Label Label1;
    forms::Image Image1;
    forms::Timer Timer1;

private:
    void Form_Load();
    void Timer1_Timer();
};

Form1::Form1() {
    Create(L"Test", 4680, 5160);

    Label1.Create(*this, {840, 225, 2955, 690}, L"TEST");
    Label1.SetAlignment(forms::Alignment::Center);
    Label1.SetTransparent(true);
    Label1.SetFont({L"MS Sans Serif", 18, FW_BOLD});
    Label1.SetTabIndex(0);
    Image1.Create(*this, {315, 1035, 4020, 4005}, IDR_TEST_PICTURE);
    // Without an interval of its own the timer does not tick before the load step sets one.
    Timer1.Create(*this);

    onLoad = [this] { Form_Load(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
}

// Before the window shows: the first tick comes one second from now.
void Form1::Form_Load() {
    Timer1.SetInterval(1000);
    Timer1.SetEnabled(true);
}

// The one tick: the only window goes, and with it the program.
void Form1::Timer1_Timer() {
    Unload();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        Form1 form;
        form.Show();
        return forms::Run();
    } catch (const Module1::Failure& failure) {
        forms::MsgBox(nullptr, Module1::Describe(failure), L"Test");
        return 1;
    }
}
