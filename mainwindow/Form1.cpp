// Main window: layout, folder panels, new-folder panel, settings and the start of the batch run.
#include "Form1.h"

#include <windows.h>

#include "Dialogs.h"
#include "Failure.h"
#include "Form2.h"
#include "Module1.h"
#include "Settings.h"

// Our hand cursor's ID has the name of the system's hand cursor, which windows.h defines.
#undef IDC_HAND
#include "resource.h"

namespace {

constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kTeal = RGB(0, 192, 192);
constexpr COLORREF kGreen = RGB(0, 192, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kGrey = RGB(128, 128, 128);

const forms::FontSpec kBold825{L"MS Sans Serif", 8.25f, FW_BOLD};
const forms::FontSpec kBold975{L"MS Sans Serif", 9.75f, FW_BOLD};

constexpr wchar_t kCreditLine[] = L"© Treskel-Team 2026";
constexpr wchar_t kDriveNotReady[] = L"Laufwerk nicht verfügbar !";
constexpr wchar_t kFolderExists[] = L"Ordner existiert schon";
constexpr wchar_t kDefaultFolder[] = L"C:\\";

}  // namespace

Form1::Form1() {
    Create(L"Treskel", 10320, 6030, IDI_TRESKEL);

    Frame2.Create(*this, {105, 135, 4425, 4335}, L"Start Verzeichnis");
    Frame2.SetTabIndex(1);
    Frame3.Create(*this, {4830, 135, 4425, 4335}, L"Optionales Ausgabe -Verzeichnis ");
    Frame3.SetTabIndex(7);
    cmdInfo.Create(*this, {9345, 225, 855, 465}, L"INFO", forms::ButtonStyle::Graphical);
    cmdInfo.SetBackColor(kYellow);
    cmdInfo.SetFont(kBold825);
    cmdInfo.SetTabIndex(15);
    // The new-folder panel: a plain teal rectangle over the output panel, hidden until "neu".
    Frame4.SetVisible(false);
    Frame4.Create(*this, {5145, 2205, 3795, 1005}, L"Neues Verzeichnis anlegen", false);
    Frame4.SetBackColor(kTeal);
    Frame4.SetTabIndex(16);
    Line1.Create(*this, 105, 4500, 10185, 4500);
    txtDosCmd.Create(*this, {945, 4590, 5055, 285}, L"test");
    txtDosCmd.SetBackColor(kBlack);
    txtDosCmd.SetForeColor(kSilver);
    txtDosCmd.SetFont(kBold825);
    txtDosCmd.SetTabIndex(23);
    Label2.Create(*this, {6720, 4590, 1590, 285}, L"Extension:     *.");
    Label2.SetFont(kBold975);
    Label2.SetTabIndex(25);
    txtExtension.Create(*this, {8295, 4590, 645, 285}, L"gz");
    txtExtension.SetTabIndex(24);
    Check1.Create(*this, {6720, 4905, 2325, 330}, L"Ausgabeverzeichnis als Zielverzeichnis verwenden");
    Check1.SetTabIndex(22);
    Command1.Create(*this, {945, 4950, 5055, 435}, L"Kommando für alle Unterordner jetzt starten",
                    forms::ButtonStyle::Graphical);
    Command1.SetBackColor(kYellow);
    Command1.SetFont(kBold975);
    Command1.SetTabIndex(13);
    Image1.Create(*this, {9345, 4995, 900, 870}, IDR_EXIT);
    Image1.SetMouseIcon(IDC_HAND);
    Label1.Create(*this, {7350, 5310, 2010, 240}, kCreditLine);
    Label1.SetForeColor(kGrey);
    Label1.SetTransparent(true);
    Label1.SetTabIndex(14);
    lblStatus.SetBorder(true);
    lblStatus.Create(*this, {105, 5535, 9255, 285}, L"Status");
    lblStatus.SetTabIndex(0);

    StartDir.Create(Frame2, {105, 270, 4215, 285}, L"");
    StartDir.SetTabIndex(4);
    Image2.Create(Frame2, {1260, 525, 1605, 135}, IDR_PANEL_STRIP);
    Image2.SetMouseIcon(IDC_HAND);
    Drive2.Create(Frame2, {105, 840, 4215, 315});
    Drive2.SetTabIndex(3);
    Dir2.Create(Frame2, {105, 1260, 4215, 2115});
    Dir2.SetTabIndex(2);
    File2.Create(Frame2, {105, 3570, 3270, 675}, L"*.pdf;*.PDF");
    File2.SetTabIndex(5);
    cmdokInput.Create(Frame2, {3465, 3735, 750, 375}, L"ok", forms::ButtonStyle::Graphical);
    cmdokInput.SetBackColor(kGreen);
    cmdokInput.SetTabIndex(6);

    txtOptDir.Create(Frame3, {105, 270, 4215, 285}, L"");
    txtOptDir.SetTabIndex(10);
    Image3.Create(Frame3, {1575, 525, 1605, 135}, IDR_PANEL_STRIP);
    Image3.SetMouseIcon(IDC_HAND);
    Drive3.Create(Frame3, {105, 840, 4215, 315});
    Drive3.SetTabIndex(11);
    Dir3.Create(Frame3, {105, 1260, 4215, 2115});
    Dir3.SetTabIndex(12);
    // Made after Dir3, so it lies above the folder list's lowest 45 twips.
    cmd_DirNeuTIF.Create(Frame3, {3465, 3330, 750, 285}, L"neu", forms::ButtonStyle::Graphical);
    cmd_DirNeuTIF.SetBackColor(kTeal);
    cmd_DirNeuTIF.SetTabIndex(19);
    File3.Create(Frame3, {105, 3570, 3270, 675}, L"*.tif");
    File3.SetTabIndex(9);
    cmdokOutput.Create(Frame3, {3465, 3735, 750, 375}, L"ok", forms::ButtonStyle::Graphical);
    cmdokOutput.SetBackColor(kGreen);
    cmdokOutput.SetTabIndex(8);

    Label4.Create(Frame4, {105, 90, 2535, 195}, L"Neues Verzeichnis anlegen");
    Label4.SetTransparent(true);
    Label4.SetTabIndex(21);
    cmdOut.Create(Frame4, {3360, 45, 330, 240}, L"X");
    cmdOut.SetAlignment(forms::Alignment::Center);
    cmdOut.SetBackColor(kTeal);
    cmdOut.SetMouseIcon(IDC_HAND_COLOUR);
    cmdOut.SetTabIndex(20);
    txtDirTIF.Create(Frame4, {105, 540, 2535, 330}, L"neuerOrdner");
    txtDirTIF.SetTabIndex(17);
    cmd_mkdir.Create(Frame4, {2730, 540, 855, 330}, L"ok");
    cmd_mkdir.SetTabIndex(18);

    onLoad = [this] { Form_Load(); };
    onUnload = [this] { Form_Unload(); };
    Image2.onClick = [this] { Image2_Click(); };
    Image3.onClick = [this] { Image3_Click(); };
    Drive2.onChange = [this] { Drive2_Change(); };
    Drive3.onChange = [this] { Drive3_Change(); };
    Dir2.onChange = [this] { Dir2_Change(); };
    cmdokInput.onClick = [this] { cmdokInput_Click(); };
    cmdokOutput.onClick = [this] { cmdokOutput_Click(); };
    cmd_DirNeuTIF.onClick = [this] { cmd_DirNeuTIF_Click(); };
    cmdOut.onClick = [this] { cmdOut_Click(); };
    cmd_mkdir.onClick = [this] { cmd_mkdir_Click(); };
    Image1.onClick = [this] { Image1_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    cmdInfo.onClick = [this] { cmdInfo_Click(); };
}

// Before the window is first shown: both panels collapse, then the saved folders come back.
void Form1::Form_Load() {
    Frame2.SetHeight(kCollapsedHeight);
    Frame3.SetHeight(kCollapsedHeight);
    RestoreFolders();
}

// A saved folder that still exists goes into its text box; the panel's drive list and folder list follow it,
// each setting running its change handling at once (the drive check, then File2 following Dir2).
// The value that passed the check is read again, so a newer one written in between wins.
void Form1::RestoreFolders() {
    if (Module1::FolderExists(forms::GetSetting(kAppName, kSection, L"StartDir", kDefaultFolder)))
        StartDir.SetText(forms::GetSetting(kAppName, kSection, L"StartDir", kDefaultFolder));
    if (Module1::FolderExists(forms::GetSetting(kAppName, kSection, L"txtOptDir", kDefaultFolder)))
        txtOptDir.SetText(forms::GetSetting(kAppName, kSection, L"txtOptDir", kDefaultFolder));

    if (Module1::FolderExists(StartDir.Text())) {
        Drive2.SetDrive(StartDir.Text().substr(0, 2));
        Dir2.SetPath(StartDir.Text());
    }
    if (Module1::FolderExists(txtOptDir.Text())) {
        Drive3.SetDrive(txtOptDir.Text().substr(0, 2));
        Dir3.SetPath(txtOptDir.Text());
    }
}

// Closing by the title bar or by the exit picture. A store that can't be written is reported, and the
// window closes all the same.
void Form1::Form_Unload() {
    const std::wstring failure = SaveFolders({{L"dir2", Dir2.Path()},
                                              {L"StartDir", StartDir.Text()},
                                              {L"dir3", Dir3.Path()},
                                              {L"txtOptDir", txtOptDir.Text()}});
    if (!failure.empty())
        forms::MsgBox(*this, failure, kAppName);
}

std::wstring Form1::SaveFolders(std::initializer_list<std::pair<const wchar_t*, std::wstring>> values) {
    std::wstring keys;
    LSTATUS firstError = ERROR_SUCCESS;
    for (const auto& [key, value] : values) {
        const LSTATUS status = forms::SaveSetting(kAppName, kSection, key, value);
        if (status == ERROR_SUCCESS)
            continue;
        if (firstError == ERROR_SUCCESS)
            firstError = status;
        keys += (keys.empty() ? L"" : L", ") + std::wstring(key);
    }
    if (firstError == ERROR_SUCCESS)
        return {};
    return L"Die Ordner konnten nicht gespeichert werden (" + keys +
           L"): " + Module1::SystemReason(static_cast<DWORD>(firstError));
}

void Form1::TogglePanel(forms::Frame& panel) {
    panel.SetHeight(panel.Height() == kCollapsedHeight ? kOpenHeight : kCollapsedHeight);
}

void Form1::Image2_Click() {
    TogglePanel(Frame2);
}

void Form1::Image3_Click() {
    TogglePanel(Frame3);
}

// The drive check: only the first character of the drive text counts. A drive whose root is no folder
// puts the drive list back on the folder list's drive. That setting back reports a change too; it runs no
// second check, so the folder list keeps the folder it shows.
void Form1::CheckDrive(forms::DriveList& drive, forms::FolderList& folders) {
    if (settingDriveBack_)
        return;
    const std::wstring text = drive.Drive();
    if (Module1::FolderExists(text.substr(0, 1) + L":\\")) {
        folders.SetPath(text);
        return;
    }
    settingDriveBack_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{settingDriveBack_};
    drive.SetDrive(folders.Path());
    lblStatus.SetCaption(kDriveNotReady);
}

void Form1::Drive2_Change() {
    CheckDrive(Drive2, Dir2);
}

void Form1::Drive3_Change() {
    CheckDrive(Drive3, Dir3);
}

// File2 follows Dir2; File3 keeps the folder it started with.
void Form1::Dir2_Change() {
    File2.SetPath(Dir2.Path());
}

void Form1::cmdokInput_Click() {
    StartDir.SetText(Dir2.Path());
    Frame2.SetHeight(kCollapsedHeight);
    const std::wstring failure = SaveFolders({{L"dir2", Dir2.Path()}, {L"StartDir", StartDir.Text()}});
    if (!failure.empty())
        lblStatus.SetCaption(failure);
}

void Form1::cmdokOutput_Click() {
    txtOptDir.SetText(Dir3.Path());
    Frame3.SetHeight(kCollapsedHeight);
    const std::wstring failure = SaveFolders({{L"dir3", Dir3.Path()}, {L"txtOptDir", txtOptDir.Text()}});
    if (!failure.empty())
        lblStatus.SetCaption(failure);
}

void Form1::cmd_DirNeuTIF_Click() {
    Frame4.SetVisible(true);
}

void Form1::cmdOut_Click() {
    Frame4.SetVisible(false);
}

// Makes one folder of the typed name inside the folder of Dir3. The backslash is always put in: at a drive
// root the path holds two in a row, which the system reads as one.
void Form1::cmd_mkdir_Click() {
    const std::wstring folder = Dir3.Path() + L"\\" + txtDirTIF.Text();
    if (Module1::FolderExists(folder)) {
        lblStatus.SetCaption(kFolderExists);
        return;
    }
    if (!CreateDirectoryW(folder.c_str(), nullptr)) {
        const DWORD error = GetLastError();
        lblStatus.SetCaption(L"Der Ordner \"" + folder + L"\" kann nicht angelegt werden: " +
                             Module1::SystemReason(error));
        return;
    }
    Dir3.SetPath(folder);
    Frame4.SetVisible(false);
}

void Form1::Image1_Click() {
    Unload();
}

void Form1::Command1_Click() {
    batch::RunInputs inputs;
    inputs.startFolder = StartDir.Text();
    inputs.outputFolder = txtOptDir.Text();
    inputs.extension = txtExtension.Text();
    inputs.command = txtDosCmd.Text();
    inputs.targetIsOutputFolder = Check1.Value();
    inputs.programFolder = batch::ProgramFolder();
    batch::RunBatch(inputs, *this);
}

// "INFO": the info window, beside this one; it lives on its own and may outlast this window.
void Form1::cmdInfo_Click() {
    Form2::Open(*this);
}

void Form1::SetStatus(const std::wstring& text) {
    lblStatus.SetCaption(text);
    lblStatus.Refresh();
}

void Form1::RefreshWindow() {
    Refresh();
}

void Form1::ShowMessage(const std::wstring& text) {
    forms::MsgBox(*this, text, kAppName);
}
