// Shell links through the shell's own IShellLinkW, in the real Desktop, Start
// Menu and Programs folders; the internet shortcut at its fixed path, in the
// ANSI code page with CR LF line ends.

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include "ShellLink.h"

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "com_scope_win.h"

#include <cstdio>

namespace shelllink {
namespace {

const wchar_t* const InternetShortcutFolder = L"C:\\Windows\\Desktop";

std::wstring wide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
    return out;
}

std::string narrow(const std::wstring& text, UINT codePage) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

// The system's own description of a failure, in the user's language.
std::string describe(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD n = FormatMessageW(flags, nullptr, static_cast<DWORD>(hr), 0,
                                   reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "错误 0x%08lX", static_cast<unsigned long>(hr));
        return code;
    }
    return narrow(text, CP_UTF8);
}

bool knownFolder(REFKNOWNFOLDERID id, std::wstring& path, HRESULT& hr) {
    PWSTR found = nullptr;
    hr = SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &found);
    if (SUCCEEDED(hr))
        path = found;
    CoTaskMemFree(found);
    return SUCCEEDED(hr);
}

bool linkFolder(const std::string& folder, bool perUser, std::wstring& path, HRESULT& hr) {
    switch (placeOf(folder)) {
    case Place::Desktop:
        return knownFolder(perUser ? FOLDERID_Desktop : FOLDERID_PublicDesktop, path, hr);
    case Place::StartMenu:
        return knownFolder(perUser ? FOLDERID_StartMenu : FOLDERID_CommonStartMenu, path, hr);
    case Place::Programs:
        return knownFolder(perUser ? FOLDERID_Programs : FOLDERID_CommonPrograms, path, hr);
    case Place::BelowPrograms:
        break;
    }
    if (!knownFolder(perUser ? FOLDERID_Programs : FOLDERID_CommonPrograms, path, hr))
        return false;
    path += L"\\" + wide(folder);
    const int made = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS) {
        hr = HRESULT_FROM_WIN32(static_cast<DWORD>(made));
        return false;
    }
    return true;
}

HRESULT saveLink(const std::wstring& path, const std::wstring& target,
                 const std::wstring& arguments, const std::wstring& description) {
    IShellLinkW* link = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link));
    if (FAILED(hr))
        return hr;
    hr = link->SetPath(target.c_str());
    if (SUCCEEDED(hr))
        hr = link->SetArguments(arguments.c_str());
    // The shell shows it as the link's tip.
    if (SUCCEEDED(hr))
        hr = link->SetDescription(description.c_str());
    const std::wstring::size_type slash = target.find_last_of(L"\\/");
    if (SUCCEEDED(hr) && slash != std::wstring::npos)
        hr = link->SetWorkingDirectory(target.substr(0, slash).c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(hr))
        hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        hr = file->Save(path.c_str(), TRUE);
        file->Release();
    }
    link->Release();
    return hr;
}

class ShellLinks : public ShellLinkBackend {
public:
    Outcome createLink(const std::string& folder, const std::string& caption,
                       const std::string& target, const std::string& arguments, bool perUser,
                       std::string&) override {
        ComScope com;
        std::wstring dir;
        HRESULT hr = S_OK;
        if (linkFolder(folder, perUser, dir, hr))
            hr = saveLink(dir + L"\\" + wide(caption) + L".lnk", wide(target), wide(arguments),
                          wide(caption));
        if (SUCCEEDED(hr))
            return {};
        return {false, describe(hr)};
    }

    bool writeInternetShortcut(const std::string& name, const std::string& url) override {
        const DWORD attributes = GetFileAttributesW(InternetShortcutFolder);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
        const std::wstring path =
            std::wstring(InternetShortcutFolder) + L"\\" + wide(name) + L".url";
        const std::string body = "[InternetShortcut]\r\nURL=" + narrow(wide(url), CP_ACP) + "\r\n";
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        const BOOL ok =
            WriteFile(file, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
        CloseHandle(file);
        return ok && written == body.size();
    }
};

} // namespace

std::unique_ptr<ShellLinkBackend> makePlatformShellLinks() {
    return std::make_unique<ShellLinks>();
}

} // namespace shelllink
