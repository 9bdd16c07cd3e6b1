// What ships: the manifest and the version resource of Halvorsight.exe,
// and the installer, run silently in the test prefix per user and per
// machine: where the program goes, the shortcuts and the working directory
// they give it (the user's data folder, where the program then keeps its
// files), the uninstall entry, and what the uninstaller removes and keeps.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "probe_runner.h"
#include "program_test.h"

namespace hs::e2e {
namespace {

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvorsight";
constexpr const char* kActiveSetupKey = "Software\\Microsoft\\Active Setup\\Installed Components\\Halvorsight";
constexpr const char* kLinkName = "\\Halvorsight.lnk";
constexpr milliseconds kInstallWait{60000};

std::string registryText(HKEY root, const char* key, const char* value) {
    char text[2048] = {};
    DWORD size = sizeof text;
    if (RegGetValueA(root, key, value, RRF_RT_REG_SZ | RRF_NOEXPAND, nullptr, text, &size) != ERROR_SUCCESS)
        return "";
    return text;
}

DWORD registryNumber(HKEY root, const char* key, const char* value) {
    DWORD number = 0;
    DWORD size = sizeof number;
    return RegGetValueA(root, key, value, RRF_RT_REG_DWORD, nullptr, &number, &size) == ERROR_SUCCESS ? number : 0;
}

bool registryKeyExists(HKEY root, const char* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

std::string shellFolder(int csidl) {
    char path[MAX_PATH] = {};
    return SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK ? path : "";
}

std::string expanded(const std::string& text) {
    char out[2 * MAX_PATH] = {};
    const DWORD n = ExpandEnvironmentStringsA(text.c_str(), out, sizeof out);
    return n > 0 && n <= sizeof out ? out : text;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void deleteTree(const std::string& path) {
    if (!exists(path)) return;
    std::string from = path;
    from.push_back('\0');  // the list ends with a second terminator
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

// The user's data folder that the shortcuts name.
std::string dataFolder() { return shellFolder(CSIDL_LOCAL_APPDATA) + "\\Halvorsight"; }

struct Shortcut {
    std::string target;
    std::string workingDirectory;  // as stored, variables unexpanded
};

// Reads a shell link as the shell does before it starts the link's target.
bool readShortcut(const std::string& path, Shortcut& link) {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    IShellLinkA* shellLink = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shellLink))) &&
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char target[MAX_PATH] = {};
        char directory[MAX_PATH] = {};
        ok = SUCCEEDED(file->Load(wide, STGM_READ)) &&
             SUCCEEDED(shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
             SUCCEEDED(shellLink->GetWorkingDirectory(directory, MAX_PATH));
        link = {target, directory};
    }
    if (file) file->Release();
    if (shellLink) shellLink->Release();
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

// Runs a command line with LOCALAPPDATA pointing elsewhere, as another
// user's logon would, and returns its exit code.
std::optional<DWORD> runAsOtherUser(const std::string& commandLine, const std::string& localAppData) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (lower(std::string(entry).substr(0, 13)) != "localappdata=") block += std::string(entry) + '\0';
    }
    FreeEnvironmentStringsA(strings);
    block += "LOCALAPPDATA=" + localAppData + '\0';
    block += '\0';
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, block.data(),
                        nullptr, &si, &pi)) {
        return std::nullopt;
    }
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

// ---------------------------------------------------------------- the program file

class ProgramFileTest : public ProgramTest {};

TEST_F(ProgramFileTest, VersionResourceAndTheManifestsCommonControlsReadBack) {
    const std::string exe = toWindowsPath(programPath());
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00050000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00050000u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    const auto text = [&](const std::string& name) {
        char* value = nullptr;
        UINT chars = 0;
        const std::string path = "\\StringFileInfo\\040904b0\\" + name;
        return VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &chars) && chars > 0
                   ? std::string(value)
                   : "(missing)";
    };
    EXPECT_EQ(text("ProductName"), "Halvorsight");
    EXPECT_EQ(text("ProductVersion"), "5.0");
    EXPECT_EQ(text("FileVersion"), "5.0");
    EXPECT_EQ(text("CompanyName"), "Tollenby Lab");
    EXPECT_EQ(text("LegalCopyright"), "Copyright (C) 2026 Tollenby Lab");
    EXPECT_EQ(text("OriginalFilename"), "Halvorsight.exe");
    EXPECT_NE(text("FileDescription"), "(missing)");

    // Inside the running program: the version 6 common controls the
    // manifest asks for, from the side-by-side store.
    RunningProgram& app = start();
    std::string report;
    std::string error;
    ASSERT_TRUE(runProbeExport(app.process.handle(), kControlsProbeExport, MenuProbeRequest{}, report, error))
        << error;
    EXPECT_NE(lower(report).find("common-controls_"), std::string::npos) << report;
    EXPECT_NE(report.find("_6.0."), std::string::npos) << report;
    EXPECT_EQ(exitByCommand(app), std::optional<DWORD>(0));
}

// ---------------------------------------------------------------- the installer

class PackageTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        char path[MAX_PATH] = {};
        const DWORD n = GetEnvironmentVariableA("HS_INSTALLER", path, sizeof path);
        if (n == 0 || n >= sizeof path) GTEST_SKIP() << "no installer was built (makensis missing)";
        installer_ = path;
        // What an earlier, failed run left in the prefix.
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            if (registryKeyExists(root, kUninstallKey)) uninstall(root, "");
        }
        deleteTree(dataFolder());
        deleteTree(shellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Halvorsight");
        deleteTree(shellFolder(CSIDL_PROGRAM_FILES) + "\\Halvorsight");
    }

    void TearDown() override {
        ProgramTest::TearDown();
        if (!HasFailure()) deleteTree(dataFolder());
    }

    std::optional<DWORD> install(const std::string& arguments) {
        Process setup = Process::start(installer_, dir().path(), arguments);
        return setup.waitForExit(kInstallWait);
    }

    // Runs the quiet uninstall command registered under `root`, plus
    // `extra`, and waits until it is done. The uninstaller hands over to a
    // copy of itself and ends at once: the copy is waited for too (it lives
    // in the first one's job, so the job is held until then).
    bool uninstall(HKEY root, const std::string& extra) {
        const std::string command = registryText(root, kUninstallKey, "QuietUninstallString");
        const auto close = command.find('"', 1);
        if (command.empty() || command[0] != '"' || close == std::string::npos) return false;
        Process uninstaller = Process::start(command.substr(1, close - 1), dir().path(),
                                             command.substr(close + 1) + " " + extra);
        std::vector<UniqueHandle> copies = childProcesses(uninstaller.pid());
        if (uninstaller.waitForExit(kInstallWait) != std::optional<DWORD>(0)) return false;
        for (const UniqueHandle& copy : copies) {
            if (WaitForSingleObject(copy.get(), static_cast<DWORD>(kInstallWait.count())) != WAIT_OBJECT_0) return false;
        }
        return !registryKeyExists(root, kUninstallKey);
    }

    // The processes a process has started, found while it still runs.
    static std::vector<UniqueHandle> childProcesses(DWORD parent) {
        std::vector<UniqueHandle> children;
        pollUntil([&] {
            UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            PROCESSENTRY32 entry{};
            entry.dwSize = sizeof entry;
            for (BOOL ok = snapshot && Process32First(snapshot.get(), &entry); ok;
                 ok = Process32Next(snapshot.get(), &entry)) {
                if (entry.th32ParentProcessID != parent) continue;
                UniqueHandle child(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
                if (child) children.push_back(std::move(child));
            }
            return !children.empty();
        }, kWait);
        return children;
    }

    std::string installer_;
};

TEST_F(PackageTest, PerUserInstallStartsTheProgramInTheDataFolderAndUninstallKeepsIt) {
    ASSERT_EQ(install("/S /AutoStart"), std::optional<DWORD>(0));
    const HKEY user = HKEY_CURRENT_USER;
    const std::string programDir = registryText(user, kUninstallKey, "InstallLocation");
    const std::string exe = programDir + "\\Halvorsight.exe";
    EXPECT_EQ(programDir, shellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Halvorsight");
    for (const char* name : {"Halvorsight.exe", "Halvorsight.sound", "manual.html", "Uninstall.exe"})
        EXPECT_TRUE(exists(programDir + "\\" + name)) << name;
    EXPECT_EQ(registryText(user, kUninstallKey, "DisplayName"), "Halvorsight");
    EXPECT_EQ(registryText(user, kUninstallKey, "DisplayVersion"), "5.0");
    EXPECT_EQ(registryText(user, kUninstallKey, "Publisher"), "Tollenby Lab");
    EXPECT_EQ(registryText(user, kUninstallKey, "DisplayIcon"), exe + ",0");
    EXPECT_GT(registryNumber(user, kUninstallKey, "EstimatedSize"), 1000u);  // KB
    EXPECT_FALSE(registryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));

    // The Start-menu and log-in shortcuts start the installed program in
    // the user's data folder, which already holds the sound it plays.
    const std::string startMenuLink = shellFolder(CSIDL_PROGRAMS) + kLinkName;
    const std::string logInLink = shellFolder(CSIDL_STARTUP) + kLinkName;
    Shortcut link;
    for (const std::string& path : {logInLink, startMenuLink}) {
        ASSERT_TRUE(readShortcut(path, link)) << path;
        EXPECT_EQ(lower(link.target), lower(exe)) << path;
        EXPECT_EQ(lower(expanded(link.workingDirectory)), lower(dataFolder())) << path;
    }
    EXPECT_TRUE(exists(dataFolder() + "\\Halvorsight.sound"));

    // Started as the shortcut starts it, the program keeps its files there.
    // An update run meanwhile waits for it to end; a silent one gives up.
    RunningProgram& app = startAt(link.target, expanded(link.workingDirectory));
    EXPECT_EQ(install("/S"), std::optional<DWORD>(2));
    ASSERT_EQ(exitByCommand(app), std::optional<DWORD>(0));
    EXPECT_TRUE(exists(dataFolder() + "\\data"));
    EXPECT_TRUE(exists(dataFolder() + "\\Halvorsight.option"));
    EXPECT_FALSE(exists(programDir + "\\data"));

    // With the program ended the update goes over the installed one and
    // keeps the log-in start chosen before.
    EXPECT_EQ(install("/S"), std::optional<DWORD>(0));
    EXPECT_EQ(registryText(user, kUninstallKey, "InstallLocation"), programDir);
    EXPECT_TRUE(exists(logInLink));

    // The uninstaller takes the program, its shortcuts and its entry and
    // leaves the data folder.
    ASSERT_TRUE(uninstall(user, "")) << "the uninstall entry stayed";
    EXPECT_FALSE(exists(programDir));
    EXPECT_FALSE(exists(startMenuLink));
    EXPECT_FALSE(exists(logInLink));
    EXPECT_TRUE(exists(dataFolder() + "\\data"));
    EXPECT_TRUE(exists(dataFolder() + "\\Halvorsight.option"));
    EXPECT_TRUE(exists(dataFolder() + "\\Halvorsight.sound"));
}

TEST_F(PackageTest, PerMachineInstallGivesEveryUserTheirOwnFolderAndUninstallCanRemoveIt) {
    ASSERT_EQ(install("/S /AllUsers"), std::optional<DWORD>(0));
    const HKEY machine = HKEY_LOCAL_MACHINE;
    const std::string programDir = registryText(machine, kUninstallKey, "InstallLocation");
    EXPECT_EQ(programDir, shellFolder(CSIDL_PROGRAM_FILES) + "\\Halvorsight");
    EXPECT_TRUE(exists(programDir + "\\Halvorsight.exe"));
    EXPECT_NE(registryText(machine, kUninstallKey, "UninstallString").find("/AllUsers"), std::string::npos);
    EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, kUninstallKey));

    // The shortcut for everyone names the folder through the variable, so
    // it is each user's own; the installing user's exists already.
    const std::string link = shellFolder(CSIDL_COMMON_PROGRAMS) + kLinkName;
    Shortcut shortcut;
    ASSERT_TRUE(readShortcut(link, shortcut)) << link;
    EXPECT_EQ(shortcut.workingDirectory, "%LOCALAPPDATA%\\Halvorsight");
    EXPECT_TRUE(exists(dataFolder() + "\\Halvorsight.sound"));
    EXPECT_FALSE(exists(shellFolder(CSIDL_COMMON_STARTUP) + kLinkName)) << "log-in start not asked for";

    // Another user's first logon runs the registered command, which makes
    // that user's folder with the sound.
    WorkDir& other = extraDir("other-user");
    const std::string stub = registryText(machine, kActiveSetupKey, "StubPath");
    EXPECT_EQ(runAsOtherUser(stub, other.path()), std::optional<DWORD>(0)) << stub;
    EXPECT_TRUE(other.exists("Halvorsight\\Halvorsight.sound")) << stub;

    // Asked to, the uninstaller removes the data folder too.
    ASSERT_TRUE(uninstall(machine, "/RemoveData")) << "the uninstall entry stayed";
    EXPECT_FALSE(exists(programDir));
    EXPECT_FALSE(exists(dataFolder()));
    EXPECT_FALSE(exists(link));
    EXPECT_FALSE(registryKeyExists(machine, kActiveSetupKey));
}

}  // namespace
}  // namespace hs::e2e
