#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/platform_error.h"
#include "platform/platform_objects.h"
#include "tests/unit/fakes/call_log.h"

namespace dovrel::testing {

struct DialogSettings {
    std::wstring initialDir;
    std::wstring filter;
    std::optional<std::int16_t> flags;
    bool operator==(const DialogSettings& other) const {
        return initialDir == other.initialDir && filter == other.filter && flags == other.flags;
    }
};

// The environment, registry, files and file dialog the service objects see.
// Tests arrange it, then read what the program did to it.
struct FakeWorld {
    explicit FakeWorld(CallLog& callLog) : log(callLog) {}

    CallLog& log;

    std::map<std::wstring, std::wstring> environment{{L"Programfiles", L"C:\\Program Files"}};
    // Registry value path (as the program spells it) -> data.
    std::map<std::wstring, std::wstring> registry;
    // Value paths whose write, or removal, is refused, with the reason given.
    std::map<std::wstring, std::wstring> refusedWrites;
    std::map<std::wstring, std::wstring> refusedDeletes;
    bool notificationFails = false;
    // Value paths whose read raises although a value may be there.
    std::set<std::wstring> unreadable;
    // Existing files -> their version text ("" for none).
    std::map<std::wstring, std::wstring> files;
    // Paths -> their short form; a path not listed has no short form of its own.
    std::map<std::wstring, std::wstring> shortPaths;

    // File dialog: what ShowOpen answers and which file it reports; its
    // settings as they are now and as they were at each ShowOpen.
    std::int16_t dialogResult = 0;
    std::wstring dialogFileName;
    DialogSettings dialog;
    std::vector<DialogSettings> dialogShownWith;

    std::vector<std::wstring> created;        // "shell", "fso", "dialog" in creation order
    std::optional<std::wstring> failCreation; // name of the object whose creation raises
};

class FakeShell : public IShell {
public:
    explicit FakeShell(FakeWorld& world) : world_(world) {}

    std::wstring ExpandEnvironmentStrings(const std::wstring& text) override {
        world_.log.Add(L"shell.ExpandEnvironmentStrings " + text);
        std::wstring out;
        std::size_t i = 0;
        while (i < text.size()) {
            const std::size_t open = text.find(L'%', i);
            const std::size_t close = open == std::wstring::npos ? open : text.find(L'%', open + 1);
            if (close == std::wstring::npos) {
                out += text.substr(i);
                break;
            }
            out += text.substr(i, open - i);
            const std::wstring name = text.substr(open + 1, close - open - 1);
            auto found = world_.environment.find(name);
            out += found != world_.environment.end() ? found->second
                                                     : text.substr(open, close - open + 1);
            i = close + 1;
        }
        return out;
    }

    Variant RegRead(const std::wstring& valuePath) override {
        world_.log.Add(L"shell.RegRead " + valuePath);
        if (world_.unreadable.count(valuePath))
            throw PlatformError(L"RegRead " + valuePath, L"Access is denied.");
        auto found = world_.registry.find(valuePath);
        if (found == world_.registry.end())
            throw NotFoundError(L"RegRead " + valuePath,
                                L"The system cannot find the file specified.");
        return found->second;
    }

    Variant RegWrite(const std::wstring& valuePath, const std::wstring& data,
                     const std::wstring& type) override {
        world_.log.Add(L"shell.RegWrite " + valuePath + L" = " + data + L" (" + type + L")");
        auto refused = world_.refusedWrites.find(valuePath);
        if (refused != world_.refusedWrites.end())
            throw PlatformError(L"RegWrite " + valuePath, refused->second);
        world_.registry[valuePath] = data;
        return Variant();
    }

    void RemoveValue(const std::wstring& valuePath) override {
        world_.log.Add(L"shell.RemoveValue " + valuePath);
        auto refused = world_.refusedDeletes.find(valuePath);
        if (refused != world_.refusedDeletes.end())
            throw PlatformError(L"RemoveValue " + valuePath, refused->second);
        if (world_.registry.erase(valuePath) == 0)
            throw NotFoundError(L"RemoveValue " + valuePath,
                                L"The system cannot find the file specified.");
    }

    void NotifyAssociationsChanged() override {
        world_.log.Add(L"shell.NotifyAssociationsChanged");
        if (world_.notificationFails)
            throw PlatformError(L"Finding SHChangeNotify in shell32.dll",
                                L"The specified procedure could not be found.");
    }

private:
    FakeWorld& world_;
};

class FakeFileSystem : public IFileSystem {
public:
    explicit FakeFileSystem(FakeWorld& world) : world_(world) {}

    bool FileExists(const std::wstring& path) override {
        world_.log.Add(L"fso.FileExists " + path);
        return world_.files.count(path) != 0;
    }
    std::wstring GetFileVersion(const std::wstring& path) override {
        world_.log.Add(L"fso.GetFileVersion " + path);
        auto found = world_.files.find(path);
        return found == world_.files.end() ? std::wstring() : found->second;
    }
    std::wstring GetShortPath(const std::wstring& path) override {
        world_.log.Add(L"fso.GetShortPath " + path);
        auto found = world_.shortPaths.find(path);
        return found == world_.shortPaths.end() ? path : found->second;
    }

private:
    FakeWorld& world_;
};

class FakeFileDialog : public IFileDialog {
public:
    explicit FakeFileDialog(FakeWorld& world) : world_(world) {}

    void SetInitialDir(const std::wstring& directory) override {
        world_.log.Add(L"dialog.InitialDir " + directory);
        world_.dialog.initialDir = directory;
    }
    void SetFilter(const std::wstring& filter) override {
        world_.log.Add(L"dialog.Filter " + filter);
        world_.dialog.filter = filter;
    }
    void SetFlags(std::int16_t flags) override {
        world_.log.Add(L"dialog.Flags " + std::to_wstring(flags));
        world_.dialog.flags = flags;
    }
    std::int16_t ShowOpen() override {
        world_.log.Add(L"dialog.ShowOpen");
        world_.dialogShownWith.push_back(world_.dialog);
        return world_.dialogResult;
    }
    std::wstring FileName() const override {
        world_.log.Add(L"dialog.FileName");
        return world_.dialogFileName;
    }

private:
    FakeWorld& world_;
};

class FakePlatformObjects : public IPlatformObjects {
public:
    explicit FakePlatformObjects(FakeWorld& world) : world_(world) {}

    std::unique_ptr<IShell> CreateShell() override {
        Create(L"shell");
        return std::make_unique<FakeShell>(world_);
    }
    std::unique_ptr<IFileSystem> CreateFileSystem() override {
        Create(L"fso");
        return std::make_unique<FakeFileSystem>(world_);
    }
    std::unique_ptr<IFileDialog> CreateFileDialog() override {
        Create(L"dialog");
        return std::make_unique<FakeFileDialog>(world_);
    }

private:
    void Create(const std::wstring& name) {
        world_.log.Add(L"create " + name);
        if (world_.failCreation == name)
            throw PlatformError(L"Create " + name, L"Class not registered");
        world_.created.push_back(name);
    }
    FakeWorld& world_;
};

} // namespace dovrel::testing
