#pragma once

#include <memory>
#include <string>

#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/variant.h"

namespace dovrel {

class IFormView;
class IMessageBox;
class IPlatformObjects;
class IShellExecute;
class ISecurityApi;
class IVersionRecordSource;

// What the window's logic talks to. All references outlive the window.
struct FormServices {
    IFormView& view;
    IMessageBox& messageBox;
    IVersionRecordSource& versionRecord;
    ISecurityApi& security;
    IPlatformObjects& objects;
    IShellExecute& shellExecute;
};

// The state the handlers share; everything starts empty.
struct FormFields {
    std::unique_ptr<IFileDialog> objDialog;
    std::unique_ptr<IShell> objShell;
    std::unique_ptr<IFileSystem> objFSO;
    std::wstring sProgramFiles;
    Variant vDialogResult;
    std::wstring sShowCommandKey;
    std::wstring sSlideShowCommandKey;
    std::wstring sOpenCommand;
    Variant vWriteResult;
    std::wstring sViewerPath;
    std::wstring sViewerVersion;
};

// The main window's logic: its event handlers and the methods they call.
// Handlers let PlatformError through; the window's message loop reports it.
// Which control's Click runs which handler: ui/click_events.cpp.
class Form1 {
public:
    explicit Form1(FormServices services) : services_(services) {}

    // Start-up: gates, service objects, first state. In app/load_sequence.cpp.
    void OnLoad();

    // Viewer version choice. In viewer/check_installation.cpp, the file
    // dialog in viewer/select_file.cpp.
    void OnOption1Click();
    void OnOption2Click();
    void CheckInstallation();
    void SelectFile();

    // "&Fix". In repair/association_repair.cpp.
    void OnCommand1Click();
    // True when the value can be read; `valueRead` (if given) receives what was
    // read. When it cannot, `valueMissing` (if given) tells whether that is
    // because the value or its key does not exist, rather than, say, that
    // reading it is refused.
    bool RegValueExists(const std::wstring& sRegValue, bool* valueMissing = nullptr,
                        Variant* valueRead = nullptr);

    // Web links. In ui/web_links.cpp.
    void OnCommand2Click();
    void OnImage1Click();
    void OnLabel3Click();
    void RunShellExecute(const std::wstring& sTopic, const Variant& sFile, const Variant& sParams,
                         const Variant& sDirectory, std::int32_t nShowCmd);

    const FormFields& fields() const { return fields_; }
    FormFields& fields() { return fields_; }

private:
    // The state a cancelled file dialog leaves. In viewer/select_file.cpp.
    void ForgetViewerChoice();

    FormServices services_;
    FormFields fields_;
};

} // namespace dovrel
