#include <array>
#include <optional>
#include <string>

#include "platform/message_box.h"
#include "platform/platform_error.h"
#include "ui/control_table.h"
#include "ui/form1.h"
#include "ui/form_view.h"

namespace dovrel {

namespace {

// One file type the repair points at the viewer. Both viewer versions register
// under the same class names; only the executable in the command differs.
struct FileType {
    ControlId checkBox;
    const wchar_t* extension;
    const wchar_t* className;
};

constexpr FileType kSlideShow{ControlId::Check1, L".pps", L"PowerPointViewer.SlideShow.11"};
constexpr FileType kPresentation{ControlId::Check2, L".ppt", L"PowerPointViewer.Show.11"};

constexpr wchar_t kClassesRoot[] = L"HKCR\\";
constexpr wchar_t kOpenVerb[] = L"open";
constexpr wchar_t kStringType[] = L"REG_SZ";
constexpr wchar_t kViewerMissingMessage[] = L"PowerPoint Viewer application path not found";
constexpr wchar_t kCompletedMessage[] = L"Completed!";

// The trailing backslash names the key's default value.
std::wstring DefaultValueOf(const std::wstring& key) {
    return kClassesRoot + key + L"\\";
}

std::wstring CommandValuePath(const FileType& type) {
    return DefaultValueOf(std::wstring(type.className) + L"\\shell\\" + kOpenVerb + L"\\command");
}

std::wstring VerbValuePath(const FileType& type) {
    return DefaultValueOf(std::wstring(type.className) + L"\\shell");
}

std::wstring ExtensionValuePath(const FileType& type) {
    return DefaultValueOf(type.extension);
}

// The viewer path is quoted: unquoted, a path with spaces lets C:\Program.exe
// and the like run in the viewer's place. The shell expands %1, %L, %*,
// %name% and the like anywhere in the command, quotes or not, so a path with a
// per-cent sign goes in its short form, which has none as a rule; empty when
// even that has one.
std::optional<std::wstring> OpenCommand(const std::wstring& viewerPath, IFileSystem& files) {
    std::wstring path = viewerPath;
    if (path.find(L'%') != std::wstring::npos)
        path = files.GetShortPath(viewerPath);
    if (path.empty() || path.find(L'%') != std::wstring::npos)
        return std::nullopt;
    return L"\"" + path + L"\" \"%1\"";
}

std::wstring PerCentInPathMessage(const std::wstring& viewerPath) {
    return L"The viewer cannot be registered from where it is now:\n" + viewerPath +
           L"\n\nWindows would take the per-cent sign (%) in this path for a placeholder and "
           L"not find the viewer. Move the viewer, or rename the folder, so that its path has "
           L"no per-cent sign; then choose the viewer version again and press Fix.";
}

struct RegistryWrite {
    std::wstring valuePath;
    std::wstring data;
};

struct RegistryFailure {
    std::wstring valuePath;
    std::wstring reason;
};

// How far one type's writes got.
struct WriteOutcome {
    std::size_t made = 0;
    std::optional<RegistryFailure> refused;
};

// Command first, then the class's default verb, the extension's class last, so
// an extension never points at a class that has no command yet.
std::array<RegistryWrite, 3> WritesFor(const FileType& type, const std::wstring& commandValuePath,
                                       const std::wstring& openCommand) {
    return {{{commandValuePath, openCommand},
             {VerbValuePath(type), kOpenVerb},
             {ExtensionValuePath(type), type.className}}};
}

// Makes the writes in order from `first` and stops at the first one the
// system refuses.
WriteOutcome WriteInOrder(IShell& shell, const std::array<RegistryWrite, 3>& writes,
                          Variant& vWriteResult, std::size_t first = 0) {
    WriteOutcome outcome;
    for (std::size_t i = first; i < writes.size(); ++i) {
        const RegistryWrite& write = writes[i];
        try {
            vWriteResult = shell.RegWrite(write.valuePath, write.data, kStringType);
        } catch (const PlatformError& error) {
            outcome.refused = RegistryFailure{write.valuePath, error.reason()};
            return outcome;
        }
        ++outcome.made;
    }
    return outcome;
}

// Removes a value this press created; answers what went wrong, if anything.
std::optional<RegistryFailure> Withdraw(IShell& shell, const std::wstring& valuePath) {
    try {
        shell.RemoveValue(valuePath);
    } catch (const PlatformError& error) {
        return RegistryFailure{valuePath, error.reason()};
    }
    return std::nullopt;
}

// The notification only hastens the desktop taking up the values, which are
// written either way, so one that cannot be sent is skipped.
void NotifyIfPossible(IShell& shell) {
    try {
        shell.NotifyAssociationsChanged();
    } catch (const PlatformError&) {
    }
}

std::wstring RefusedWriteMessage(const RegistryFailure& refused,
                                 const std::optional<RegistryFailure>& notWithdrawn) {
    std::wstring message = L"The file association could not be saved.\nRegistry value: " +
                           refused.valuePath + L"\nReason: " + refused.reason;
    if (notWithdrawn)
        message += L"\nWritten but could not be removed again: " + notWithdrawn->valuePath + L" (" +
                   notWithdrawn->reason + L")";
    return message;
}

} // namespace

void Form1::OnCommand1Click() {
    if (!fields_.objFSO->FileExists(fields_.sViewerPath)) {
        services_.messageBox.Show(kViewerMissingMessage, kMessageOk);
        return;
    }
    const std::optional<std::wstring> openCommand =
        OpenCommand(fields_.sViewerPath, *fields_.objFSO);
    if (!openCommand) {
        // Nothing is written. Where the viewer goes next is unknown, so the
        // user chooses it again, from the state a cancelled dialog leaves.
        services_.messageBox.Show(PerCentInPathMessage(fields_.sViewerPath), kMessageExclamation,
                                  kWindowCaption);
        ForgetViewerChoice();
        return;
    }
    fields_.sOpenCommand = *openCommand;
    fields_.sShowCommandKey = CommandValuePath(kPresentation);
    fields_.sSlideShowCommandKey = CommandValuePath(kSlideShow);

    IShell& shell = *fields_.objShell;
    bool wroteAny = false;
    WriteOutcome outcome;
    std::optional<RegistryFailure> notWithdrawn;
    if (services_.view.GetCheckValue(kSlideShow.checkBox) == 1) {
        outcome = WriteInOrder(
            shell, WritesFor(kSlideShow, fields_.sSlideShowCommandKey, fields_.sOpenCommand),
            fields_.vWriteResult);
        wroteAny = outcome.made > 0;
    }
    // An open command the presentation class already has is left alone, unless
    // it is the very command this press would write: then the class is this
    // program's own unfinished work (a press refused or ended before the
    // extension was written), so its verb and extension are written again.
    if (!outcome.refused && services_.view.GetCheckValue(kPresentation.checkBox) == 1) {
        bool commandMissing = false;
        Variant command;
        const bool exists = RegValueExists(fields_.sShowCommandKey, &commandMissing, &command);
        if (!exists || command == Variant(fields_.sOpenCommand)) {
            outcome = WriteInOrder(
                shell, WritesFor(kPresentation, fields_.sShowCommandKey, fields_.sOpenCommand),
                fields_.vWriteResult, exists ? 1 : 0);
            wroteAny = wroteAny || outcome.made > 0;
            // A command left behind would make a press for another viewer skip
            // the whole type. Only one that the probe has just shown was not
            // there is removed: one it could not read may have been opening
            // presentations until now.
            if (outcome.refused && outcome.made > 0 && commandMissing)
                notWithdrawn = Withdraw(shell, fields_.sShowCommandKey);
        }
    }
    if (wroteAny)
        NotifyIfPossible(shell);

    if (outcome.refused) {
        // "&Fix" stays enabled so the user can try again once the cause is fixed.
        services_.messageBox.Show(RefusedWriteMessage(*outcome.refused, notWithdrawn),
                                  kMessageCritical, kWindowCaption);
        return;
    }
    services_.view.SetEnabled(ControlId::Command1, false);
    services_.messageBox.Show(kCompletedMessage, kMessageOk, kWindowCaption);
}

bool Form1::RegValueExists(const std::wstring& sRegValue, bool* valueMissing, Variant* valueRead) {
    bool answer = true;
    bool missing = false;
    Variant value;
    try {
        value = fields_.objShell->RegRead(sRegValue);
    } catch (const NotFoundError&) {
        answer = false;
        missing = true;
    } catch (const PlatformError&) {
        answer = false;
    }
    if (valueMissing)
        *valueMissing = missing;
    if (valueRead)
        *valueRead = value;
    return answer;
}

} // namespace dovrel
