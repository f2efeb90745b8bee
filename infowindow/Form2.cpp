// Info window: layout, placement beside the main window with the slide-open, the close pictures and the link.
#include "Form2.h"

#include <shellapi.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

// Our hand cursor's ID has the name of the system's hand cursor, which windows.h defines.
#undef IDC_HAND
#include "resource.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);

const forms::FontSpec kTitleFont{L"Times New Roman", 15.75f, FW_BOLD, true};
const forms::FontSpec kLinkFont{L"MS Sans Serif", 8.25f, FW_NORMAL, false, true};

constexpr wchar_t kAuthor[] = L"Dr. Lena Wiesner";
constexpr wchar_t kMailAddress[] = L"lena@treskel.example";

// The one info window. It stays after its window is closed and is replaced at the next opening.
std::unique_ptr<Form2> instance;

Form2::ShellExecuteFunction shellExecute;

// Text for the functions that take ANSI strings, in the system's ANSI code page.
std::string ToAnsi(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), ansi.data(), size, nullptr,
                            nullptr);
    return ansi;
}

}  // namespace

const wchar_t Form2::kLicence[] =
    L"Treskel - Lizenz und Haftungsausschluss\r\n"
    L"\r\n"
    L"Treskel ist freie Software. Sie dürfen das Programm ohne\r\n"
    L"Gebühr benutzen, kopieren und an andere weitergeben,\r\n"
    L"solange diese Hinweise und der Name des Autors\r\n"
    L"unverändert erhalten bleiben. Ein Verkauf des Programms\r\n"
    L"oder eine Weitergabe gegen Entgelt ist nicht erlaubt.\r\n"
    L"Beigaben wie das Testprogramm test.exe gehören dazu und\r\n"
    L"dürfen nur zusammen mit Treskel weitergegeben werden.\r\n"
    L"\r\n"
    L"Das Programm wird so überlassen, wie es ist, ohne jede\r\n"
    L"Gewähr. Der Autor übernimmt keine Haftung für Schäden an\r\n"
    L"Daten, Programmen oder Geräten, die durch die Benutzung\r\n"
    L"oder durch die Unmöglichkeit der Benutzung entstehen,\r\n"
    L"auch dann nicht, wenn auf die Möglichkeit solcher\r\n"
    L"Schäden hingewiesen wurde. Das gilt insbesondere für\r\n"
    L"Batchdateien, die mit Treskel erzeugt und vom Benutzer\r\n"
    L"ausgeführt werden: Jede Zeile der Datei do.bat führt das\r\n"
    L"eingegebene Kommando für eine Datei aus. Prüfen Sie die\r\n"
    L"erzeugte Datei deshalb immer, bevor Sie sie starten, und\r\n"
    L"probieren Sie ein neues Kommando zuerst an einer Kopie\r\n"
    L"Ihrer Daten aus.\r\n"
    L"\r\n"
    L"Treskel hängt neue Zeilen stets an eine vorhandene\r\n"
    L"do.bat an. Wer eine frische Datei möchte, löscht die\r\n"
    L"alte vorher von Hand.\r\n"
    L"\r\n"
    L"Alle Marken- und Produktnamen gehören ihren jeweiligen\r\n"
    L"Inhabern und werden hier nur zur Beschreibung verwendet.\r\n"
    L"\r\n"
    L"Mit der Benutzung des Programms erkennen Sie diese\r\n"
    L"Bedingungen an. Wenn Sie nicht einverstanden sind,\r\n"
    L"löschen Sie das Programm bitte von Ihrem Rechner.\r\n"
    L"\r\n"
    L"Fragen, Fehlerberichte und Wünsche sind willkommen.\r\n"
    L"Schreiben Sie an die oben genannte Adresse; neue\r\n"
    L"Fassungen finden Sie auf der Downloadseite, die der\r\n"
    L"blaue Verweis in diesem Fenster öffnet.\r\n"
    L"\r\n"
    L"Viel Freude mit Treskel!\r\n";

Form2::Form2(const forms::Form& mainWindow) : mainWindow_(mainWindow) {
    Create(L"INFO", 5640, 4635, IDI_INFO, kWhite);

    Text1.Create(*this, {105, 2730, 5055, 1215}, kLicence, true);
    Text1.SetTabIndex(0);
    // Reaches 45 twips above the client area; the logo sits in its top-left corner.
    Picture1.Create(*this, {3825, -45, 1575, 1215}, IDR_LOGO, false);
    Picture1.SetBackColor(kWhite);
    Picture1.SetTabIndex(1);
    Command1.Create(*this, {1905, 4050, 1335, 375}, L"ist ja gut");
    Command1.SetTabIndex(2);
    Label3.Create(*this, {3705, 1275, 1815, 255}, kAuthor);
    Label3.SetBackColor(kWhite);
    Label3.SetTransparent(true);
    Label3.SetTabIndex(3);
    Label4.Create(*this, {3705, 1515, 1815, 255}, kMailAddress);
    Label4.SetBackColor(kWhite);
    Label4.SetTransparent(true);
    Label4.SetTabIndex(4);
    Label5.Create(*this, {1365, 2340, 2400, 255}, L"Updates, und mehr downloads ...");
    Label5.SetForeColor(kBlue);
    Label5.SetTransparent(true);
    Label5.SetFont(kLinkFont);
    Label5.SetMouseIcon(IDC_HAND);
    Label5.SetTabIndex(5);
    Label1.Create(*this, {1155, 0, 2055, 495}, L"Treskel");
    Label1.SetTransparent(true);
    Label1.SetFont(kTitleFont);
    Label1.SetTabIndex(6);
    // The orange picture is made first, so the yellow one lies above it; only the orange one's rightmost
    // 15 twips stick out from under it.
    Image1.SetVisible(false);
    Image1.Create(*this, {2025, 1530, 540, 645}, IDR_CLOSE_ORANGE);
    Image2.Create(*this, {2025, 1530, 525, 645}, IDR_CLOSE_YELLOW);
    Line1.Create(*this, 465, 2130, 3465, 2130);

    onLoad = [this] { Form_Load(); };
    onMouseMove = [this](float, float) { Form_MouseMove(); };
    Image1.onMouseMove = [this](float, float) { Image1_MouseMove(); };
    Image2.onClick = [this] { Image2_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Label5.onClick = [this] { Label5_Click(); };
}

Form2& Form2::Open(const forms::Form& mainWindow) {
    if (!instance || !instance->IsLoaded()) {
        instance.reset();  // a window closed earlier leaves its object until now
        instance = std::make_unique<Form2>(mainWindow);
    }
    instance->Show();
    return *instance;
}

Form2* Form2::Current() {
    return instance && instance->IsLoaded() ? instance.get() : nullptr;
}

Form2::ShellExecuteFunction Form2::SetShellExecute(ShellExecuteFunction call) {
    return std::exchange(shellExecute, std::move(call));
}

bool Form2::ShellExec(std::wstring Path, int WindowStyle, std::wstring Operation) {
    const std::string operation = ToAnsi(Operation);
    const std::string path = ToAnsi(Path);
    HINSTANCE result = shellExecute
                           ? shellExecute(nullptr, operation.c_str(), path.c_str(), nullptr, nullptr, WindowStyle)
                           : ShellExecuteA(nullptr, operation.c_str(), path.c_str(), nullptr, nullptr, WindowStyle);
    // Above 32 is success; anything else is one of the shell's error numbers.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// While the window loads: beside the main window if there is room, at the screen's left edge if not, then
// it grows from nothing to its laid-out width, drawn after every step. Nothing else runs meanwhile.
void Form2::Form_Load() {
    SetTop(mainWindow_.Top());
    const float mainLeft = mainWindow_.Left();
    const float mainWidth = mainWindow_.Width();
    const float room = ScreenWidth() - mainLeft - mainWidth - kRoomToTheRight;
    if (room >= 0)
        SetLeft(mainLeft + mainWidth);
    else
        SetLeft(0);

    const std::int32_t target = static_cast<std::int32_t>(std::nearbyint(Width()));
    SetWidth(0);
    Show();
    // Each step adds to the width the window really got: the system keeps it from going below its minimum
    // and rounds it to whole pixels.
    for (float width = Width(); static_cast<double>(width) < target;) {
        SetWidth(width + kSlideStep);
        Refresh();
        Sleep(1);
        const float grown = Width();
        if (grown <= width)
            break;  // the system lets it grow no further: stop rather than step for ever
        width = grown;
    }
}

// Over bare client area the figure turns orange.
void Form2::Form_MouseMove() {
    Image2.SetVisible(false);
    Image1.SetVisible(true);
}

// Onto the orange figure: the yellow one takes its place, and a click on it closes the window.
void Form2::Image1_MouseMove() {
    Image2.SetVisible(true);
    Image1.SetVisible(false);
}

void Form2::Image2_Click() {
    Unload();
}

void Form2::Command1_Click() {
    Unload();
}

// Opens the downloads page in the browser. If that fails there is nothing the user could do about it here.
void Form2::Label5_Click() {
    ShellExec(kDownloadsPage, SW_SHOWNORMAL, L"open");
}
