// Main window: two folder panels, the new-folder panel, the command fields, the exit picture and the
// status line. The folders chosen last are kept in the settings store between runs.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "BatchRun.h"
#include "Controls.h"
#include "Form.h"
#include "Lists.h"

class Form1 : public forms::Form, private batch::RunHost {
public:
    Form1();

    // Settings store: application and section of the saved folders.
    static constexpr wchar_t kAppName[] = L"Treskel";
    static constexpr wchar_t kSection[] = L"Optionen";
    // A folder panel is open at its laid-out height and collapsed to show only caption, text box and strip.
    static constexpr float kCollapsedHeight = 700;
    static constexpr float kOpenHeight = 4335;

    // The containers come first, so that their controls are destroyed before them.
    forms::Frame Frame2;
    forms::Frame Frame3;
    forms::Frame Frame4;

    forms::Button cmdInfo;
    forms::Line Line1;
    forms::TextBox txtDosCmd;
    forms::Label Label2;
    forms::TextBox txtExtension;
    forms::CheckBox Check1;
    forms::Button Command1;
    forms::Image Image1;
    forms::Label Label1;
    forms::Label lblStatus;

    forms::TextBox StartDir;
    forms::Image Image2;
    forms::DriveList Drive2;
    forms::FolderList Dir2;
    forms::FileList File2;
    forms::Button cmdokInput;

    forms::TextBox txtOptDir;
    forms::Image Image3;
    forms::DriveList Drive3;
    forms::FolderList Dir3;
    forms::Button cmd_DirNeuTIF;
    forms::FileList File3;
    forms::Button cmdokOutput;

    forms::Label Label4;
    forms::Label cmdOut;
    forms::TextBox txtDirTIF;
    forms::Button cmd_mkdir;

private:
    void Form_Load();
    void Form_Unload();
    void Image2_Click();
    void Image3_Click();
    void Drive2_Change();
    void Drive3_Change();
    void Dir2_Change();
    void cmdokInput_Click();
    void cmdokOutput_Click();
    void cmd_DirNeuTIF_Click();
    void cmdOut_Click();
    void cmd_mkdir_Click();
    void Image1_Click();
    void Command1_Click();
    void cmdInfo_Click();

    void TogglePanel(forms::Frame& panel);
    void CheckDrive(forms::DriveList& drive, forms::FolderList& folders);
    void RestoreFolders();
    // Writes the values in the given order, each even when one before it failed. Returns a German message
    // naming what could not be saved and why, or the empty text.
    std::wstring SaveFolders(std::initializer_list<std::pair<const wchar_t*, std::wstring>> values);

    // What the batch run shows in this window.
    void SetStatus(const std::wstring& text) override;
    void RefreshWindow() override;
    void ShowMessage(const std::wstring& text) override;

    bool settingDriveBack_ = false;
};
