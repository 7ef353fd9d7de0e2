// The Win32 backends against what Wine really provides: the registry, the
// shell's links and special folders, the internet shortcut's bytes, keep-on-top
// on a real window, and the record sizes the dial-up check hands the service.
// Built with mingw-w64 and run in a fresh Wine prefix with the Chinese ANSI
// code page (936).

#ifndef NOMINMAX
#define NOMINMAX
#endif

#include "DialUp.h"
#include "Registry.h"
#include "ShellLink.h"
#include "Topmost.h"

#include <winsock2.h>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

int failures = 0;

void check(bool ok, int line, const std::string& what) {
    if (!ok && ++failures)
        std::printf("FAIL line %d: %s\n", line, what.c_str());
}
#define CHECK(cond, what) check((cond), __LINE__, (what))

std::string utf8(const std::wstring& text) {
    const std::u8string bytes = std::filesystem::path(text).u8string();
    return {bytes.begin(), bytes.end()};
}

std::string fileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(missing)";
}

// mingw-w64's ras.h packs its records to 4 bytes: the 8-byte handle follows
// the size field directly. What the dial-up check does with these records is
// tested with this layout on Linux.
void dialUpRecordsAreTheSdks() {
    CHECK((dialup::sdkRecordLayout() == dialup::RecordLayout{708, 4, 8, 288, 4}),
          "the SDK's record layout");

    // Wine's service never has a connection: the network alone decides.
    const dialup::Reachability reachability = dialup::listManagerReachability();
    CHECK(reachability != dialup::Reachability::NoBackend, "the network list manager answers");
    const std::vector<dialup::InterfaceFacts> adapters = dialup::adapterFacts();
    bool loopbackUp = false;
    for (const auto& a : adapters)
        loopbackUp = loopbackUp || (a.loopback && a.up && a.hasAddress);
    CHECK(loopbackUp, "the loopback adapter is listed as such, up and addressed");
    CHECK(dialup::platformIsConnected() == dialup::networkCountsAsConnected(reachability, adapters),
          "with no remote-access connection the network's answer stands");
}

void theRegistryReaderKeepsItsBufferRules() {
    using registry::Root;
    const std::string longest(254, 'a'), tooLong(255, 'a');
    const char* const Access = "RemoteAccess";
    // root, key, name, bytes stored (none: nothing) -> text read (none: not found)
    const std::tuple<Root, const char*, const char*, std::string, const char*> cases[] = {
        {Root::CurrentUser, Access, "Default", std::string("MyISP\0", 6), "MyISP"},
        {Root::CurrentUser, Access, "Longest", longest + '\0', longest.c_str()}, // a full buffer
        {Root::CurrentUser, Access, "TooLong", tooLong + '\0', nullptr},
        {Root::CurrentUser, Access, "Unended", "MyISP", "MyISP"}, // stored without its terminator
        {Root::CurrentUser, Access, "Empty", std::string(1, '\0'), ""},
        {Root::CurrentUser, Access, "Chinese", std::string("\xCE\xD2\xB5\xC4\xB2\xA6\xBA\xC5\0", 9),
         "\xCE\xD2\xB5\xC4\xB2\xA6\xBA\xC5"}, // 我的拨号 in code page 936
        {Root::CurrentUser, Access, "Missing", {}, nullptr},
        {Root::CurrentUser, "NoSuchKey", "Default", {}, nullptr},
        {Root::LocalMachine, "SOFTWARE\\Orvanta Test", "PATH",
         std::string("C:\\Tools\\info.exe\0", 18), "C:\\Tools\\info.exe"}};
    for (const auto& [root, key, name, stored, text] : cases) {
        const bool user = root == Root::CurrentUser;
        if (!stored.empty()) // makes the key too
            RegSetKeyValueA(user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, key, name, REG_SZ,
                            stored.data(), DWORD(stored.size()));
        registry::Value value;
        const bool read = registry::readValue(
            registry::platform(), root, key, name,
            user ? registry::QueryValueAccess : registry::ReadAccess, 255, value);
        CHECK(read == (text != nullptr) &&
                  registry::stringText(value.bytes) == (text ? text : "") &&
                  (!read || value.type == registry::TypeString),
              std::string("found, text and type of ") + name + ": " + value.bytes);
    }
}

std::wstring specialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path);
    return path;
}

// A link's target, arguments, description and working folder, as the shell
// reads them; a field that cannot be read stays empty.
std::vector<std::string> readLink(const std::wstring& path) {
    std::vector<std::string> fields(4);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t text[1024];
    const auto got = [&](HRESULT result) { return utf8(SUCCEEDED(result) ? text : L""); };
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ)))
        fields = {got(link->GetPath(text, 1024, nullptr, SLGP_RAWPATH)),
                  got(link->GetArguments(text, 1024)), got(link->GetDescription(text, 1024)),
                  got(link->GetWorkingDirectory(text, 1024))};
    if (file)
        file->Release();
    if (link)
        link->Release();
    return fields;
}

void shellLinksLandInTheSpecialFolders() {
    const std::wstring folder = L"C:\\Program Files\\Orvanta 客户端";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* program : {L"\\Orvanta.exe", L"\\game.exe"})
        std::ofstream{std::filesystem::path(folder + program)};
    const std::string target = utf8(folder) + "\\Orvanta.exe";
    // link folder, caption, arguments, per user -> where the link lands
    const std::tuple<const char*, const wchar_t*, const char*, bool, std::wstring> rows[] = {
        {"..\\..\\Desktop", L"Orvanta", "", true, specialFolder(CSIDL_DESKTOPDIRECTORY)},
        {"..", L"Orvanta从业工具箱", "", true, specialFolder(CSIDL_STARTMENU)},
        {".", L"Orvanta同行协作网络办公信息系统", "", true, specialFolder(CSIDL_PROGRAMS)},
        {"", L"Brickvane游戏", "--level 9 \"慢\"", true, specialFolder(CSIDL_PROGRAMS)},
        {"Orvanta\\工具", L"Orvanta", "", true, specialFolder(CSIDL_PROGRAMS) + L"\\Orvanta\\工具"},
        {"..\\..\\Desktop", L"Orvanta", "", false, specialFolder(CSIDL_COMMON_DESKTOPDIRECTORY)},
        {"..", L"Orvanta", "", false, specialFolder(CSIDL_COMMON_STARTMENU)},
        {".", L"Orvanta", "", false, specialFolder(CSIDL_COMMON_PROGRAMS)},
    };
    const auto links = shelllink::makePlatformShellLinks();
    for (const auto& [linkFolder, wideCaption, arguments, perUser, expectedFolder] : rows) {
        const std::string caption = utf8(wideCaption), where = linkFolder + (" / " + caption);
        std::string token = "$(Programs)";
        // A second start re-creates each link over the first.
        for (int start = 0; start < 2; ++start) {
            const shelllink::Outcome made =
                links->createLink(linkFolder, caption, target, arguments, perUser, token);
            CHECK(made.ok, "link made: " + where + " " + made.description);
        }
        const auto read = readLink(expectedFolder + L"\\" + wideCaption + L".lnk");
        CHECK((read == std::vector<std::string>{target, arguments, caption, utf8(folder)}),
              "target, arguments, description and working folder of " + where + ": " + read[0] +
                  " | " + read[1] + " | " + read[2] + " | " + read[3]);
    }

    // A file where the link's folder should be: the failure is reported in words.
    std::ofstream{std::filesystem::path(specialFolder(CSIDL_PROGRAMS) + L"\\Blocked")};
    std::string token;
    const shelllink::Outcome blocked =
        links->createLink("Blocked\\Inner", "Orvanta", target, "", true, token);
    CHECK(!blocked.ok && !blocked.description.empty(), "a folder that cannot be made");

    // The internet shortcut: ANSI with CR LF, only where its folder exists.
    const std::wstring desktop = L"C:\\Windows\\Desktop",
                       file = desktop + L"\\Velantrix在线同行协作.url";
    RemoveDirectoryW(desktop.c_str());
    CHECK(!links->writeInternetShortcut("Velantrix在线同行协作", "https://www.velantrix.com") &&
              fileBytes(file) == "(missing)",
          "no folder, no shortcut");
    CreateDirectoryW(desktop.c_str(), nullptr);
    for (const auto& [url, bytes] :
         {std::pair<const char*, std::string>{
              "https://www.velantrix.com/a/long/address/written/first",
              "[InternetShortcut]\r\nURL=https://www.velantrix.com/a/long/address/written/"
              "first\r\n"},
          {"http://门户.example/旅游", // the shorter one truncates the longer
           "[InternetShortcut]\r\nURL=http://\xC3\xC5\xBB\xA7.example/\xC2\xC3\xD3\xCE\r\n"}}) {
        CHECK(links->writeInternetShortcut("Velantrix在线同行协作", url), "shortcut written");
        CHECK(fileBytes(file) == bytes, "shortcut bytes: " + fileBytes(file));
    }
}

void keepOnTopSwitchesTheExtendedStyleOnly() {
    const HWND window = CreateWindowExW(0, L"STATIC", L"Orvanta", WS_OVERLAPPEDWINDOW, 40, 50, 320,
                                        240, nullptr, nullptr, nullptr, nullptr);
    CHECK(window != nullptr, "a window to switch (does Wine have a display?)");
    ShowWindow(window, SW_SHOWNORMAL);
    RECT before{}, after{};
    GetWindowRect(window, &before);
    // Per switch: accepted (+), topmost after it (T) or not (-), the same place (=).
    std::string seen;
    for (const bool on : {true, true, false, true, false}) {
        seen += topmost::setTopmost(reinterpret_cast<std::uintptr_t>(window), on) ? '+' : '!';
        seen += (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 'T' : '-';
        seen += GetWindowRect(window, &after) && EqualRect(&before, &after) ? "= " : "moved ";
    }
    CHECK(seen == "+T= +T= +-= +T= +-= ", "switched on, on, off, on, off: " + seen);
    DestroyWindow(window);
    CHECK(!topmost::setTopmost(reinterpret_cast<std::uintptr_t>(window), true),
          "a window that is gone is refused");
}

} // namespace

int main() {
    CHECK(GetACP() == 936, "the Chinese ANSI code page (run with a zh_CN locale)");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    dialUpRecordsAreTheSdks();
    theRegistryReaderKeepsItsBufferRules();
    shellLinksLandInTheSpecialFolders();
    keepOnTopSwitchesTheExtendedStyleOnly();
    CoUninitialize();
    std::printf("%s: %d failure(s)\n", failures ? "FAILED" : "passed", failures);
    return failures ? 1 : 0;
}
