#include "platform/win32/files/ShortcutFiles.h"

#include <windows.h>

#include <objidl.h>
#include <propidl.h>
#include <propsys.h>
#include <shlobj.h>

#include <wrl/client.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "platform/win32/ComObjects.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/files/FileQueries.h"

namespace tovask::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// PKEY_AppUserModel_ID, spelt out so that no GUID library is needed.
constexpr PROPERTYKEY kApplicationIdKey = {
    {0x9f4c2855, 0x9f79, 0x4b39, {0xa8, 0xd0, 0xe1, 0xd4, 0x2d, 0xe1, 0xd5, 0xf3}}, 5};

// Arguments may be far longer than a path: the longest command line Windows
// starts is 32767 characters.
constexpr int kTextCapacity = 32768;

class ShellLink {
  public:
    std::error_code create() {
        if (!apartment_.usable()) {
            return errorFromResult(apartment_.result());
        }
        if (const auto error = errorFromResult(CoCreateInstance(
                CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link_)))) {
            return error;
        }
        return errorFromResult(link_.As(&file_));
    }

    std::error_code load(std::wstring_view path, DWORD mode) {
        path_ = std::wstring(path);
        if (const auto error = create()) {
            return error;
        }
        return errorFromResult(file_.Get()->Load(path_.c_str(), mode));
    }

    // From the bytes already read: what is examined is exactly what is backed
    // up, and the file is opened once.
    std::error_code loadBytes(std::string_view bytes) {
        if (const auto error = create()) {
            return error;
        }
        ComPtr<IStream> stream;
        ComPtr<IPersistStream> persist;
        ULONG written = 0;
        const HRESULT results[] = {
            CreateStreamOnHGlobal(nullptr, TRUE, &stream),
            stream ? stream.Get()->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)
                   : E_POINTER,
            stream ? stream.Get()->Seek({}, STREAM_SEEK_SET, nullptr) : E_POINTER,
            link_.As(&persist),
            persist ? persist.Get()->Load(stream.Get()) : E_POINTER,
        };
        const auto* failed =
            std::ranges::find_if(results, [](HRESULT result) { return FAILED(result); });
        return failed == std::end(results) ? std::error_code{} : errorFromResult(*failed);
    }

    std::error_code save() { return errorFromResult(file_.Get()->Save(path_.c_str(), TRUE)); }
    void setPath(std::wstring_view path) { path_ = std::wstring(path); }
    IShellLinkW* link() const { return link_.Get(); }

    // Through the property store the shortcut may not have; none reads as empty.
    std::wstring applicationId() const {
        ComPtr<IPropertyStore> store;
        if (FAILED(link_.As(&store))) {
            return {};
        }
        PROPVARIANT value;
        PropVariantInit(&value);
        std::wstring id;
        if (SUCCEEDED(store.Get()->GetValue(kApplicationIdKey, &value)) && value.vt == VT_LPWSTR &&
            value.pwszVal != nullptr) {
            id = value.pwszVal;
        }
        PropVariantClear(&value);
        return id;
    }

    std::error_code setApplicationId(const std::wstring& id) {
        ComPtr<IPropertyStore> store;
        if (const auto error = errorFromResult(link_.As(&store))) {
            return error;
        }
        // SetValue copies the text, so the value only borrows it.
        PROPVARIANT value;
        PropVariantInit(&value);
        value.vt = VT_LPWSTR;
        value.pwszVal = const_cast<wchar_t*>(id.c_str());
        if (const auto error = errorFromResult(store.Get()->SetValue(kApplicationIdKey, value))) {
            return error;
        }
        return errorFromResult(store.Get()->Commit());
    }

    // What saving would write to the file, written to memory instead.
    Result<std::string> savedBytes() const {
        ComPtr<IPersistStream> persist;
        if (const auto error = errorFromResult(link_.As(&persist))) {
            return error;
        }
        ComPtr<IStream> stream;
        if (const auto error = errorFromResult(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
            return error;
        }
        if (const auto error = errorFromResult(persist.Get()->Save(stream.Get(), TRUE))) {
            return error;
        }
        HGLOBAL memory = nullptr;
        if (const auto error = errorFromResult(GetHGlobalFromStream(stream.Get(), &memory))) {
            return error;
        }
        STATSTG status{};
        if (const auto error = errorFromResult(stream.Get()->Stat(&status, STATFLAG_NONAME))) {
            return error;
        }
        const auto* data = static_cast<const char*>(GlobalLock(memory));
        if (data == nullptr) {
            return lastError();
        }
        std::string bytes(data, static_cast<std::size_t>(status.cbSize.QuadPart));
        GlobalUnlock(memory);
        return bytes;
    }

  private:
    // Declared first, so COM stays initialised until the objects are released.
    ComApartment apartment_;
    ComPtr<IShellLinkW> link_;
    ComPtr<IPersistFile> file_;
    std::wstring path_;
};

// One text field, read through the getter into the buffer, which all the
// fields of a shortcut share.
Result<std::wstring> readText(std::wstring& buffer,
                              const std::function<HRESULT(wchar_t*, int)>& get) {
    buffer[0] = L'\0';
    if (const auto error = errorFromResult(get(buffer.data(), kTextCapacity))) {
        return error;
    }
    return std::wstring(buffer.c_str(), wcsnlen(buffer.c_str(), kTextCapacity));
}

std::error_code readContent(IShellLinkW* link, ShortcutContent& content) {
    std::error_code failure;
    std::wstring buffer(kTextCapacity, L'\0');
    const auto read = [&](std::wstring& field, const std::function<HRESULT(wchar_t*, int)>& get) {
        if (failure) {
            return;
        }
        auto text = readText(buffer, get);
        failure = text.error();
        if (text.ok()) {
            field = text.value();
        }
    };
    read(content.target,
         [&](wchar_t* text, int size) { return link->GetPath(text, size, nullptr, SLGP_RAWPATH); });
    read(content.arguments,
         [&](wchar_t* text, int size) { return link->GetArguments(text, size); });
    read(content.workingFolder,
         [&](wchar_t* text, int size) { return link->GetWorkingDirectory(text, size); });
    read(content.iconPath, [&](wchar_t* text, int size) {
        return link->GetIconLocation(text, size, &content.iconIndex);
    });
    read(content.description,
         [&](wchar_t* text, int size) { return link->GetDescription(text, size); });
    if (failure) {
        return failure;
    }
    WORD hotKey = 0;
    if (const auto error = errorFromResult(link->GetHotkey(&hotKey))) {
        return error;
    }
    content.hotKey = hotKey;
    return errorFromResult(link->GetShowCmd(&content.showCommand));
}

}  // namespace

Result<ShortcutFile> readShortcut(std::wstring_view path) {
    ShortcutFile shortcut;
    auto bytes = readFileContent(path, kShortcutSizeLimit);
    if (!bytes.ok()) {
        return bytes.error();
    }
    shortcut.bytes = bytes.value();
    ShellLink link;
    if (const auto error = link.loadBytes(shortcut.bytes)) {
        return error;
    }
    if (const auto error = readContent(link.link(), shortcut.content)) {
        return error;
    }
    shortcut.content.applicationId = link.applicationId();
    return shortcut;
}

Result<std::string> shortcutWithArguments(std::wstring_view path, std::wstring_view arguments) {
    ShellLink link;
    if (const auto error = link.load(path, STGM_READ)) {
        return error;
    }
    if (const auto error =
            errorFromResult(link.link()->SetArguments(std::wstring(arguments).c_str()))) {
        return error;
    }
    return link.savedBytes();
}

std::error_code createShortcut(std::wstring_view path, const ShortcutContent& content) {
    ShellLink link;
    if (const auto error = link.create()) {
        return error;
    }
    IShellLinkW* shell = link.link();
    const HRESULT results[] = {
        shell->SetPath(content.target.c_str()),
        shell->SetArguments(content.arguments.c_str()),
        shell->SetWorkingDirectory(content.workingFolder.c_str()),
        shell->SetIconLocation(content.iconPath.c_str(), content.iconIndex),
        shell->SetHotkey(content.hotKey),
        shell->SetShowCmd(content.showCommand),
        shell->SetDescription(content.description.c_str()),
    };
    if (const auto* failed =
            std::ranges::find_if(results, [](HRESULT result) { return FAILED(result); });
        failed != std::end(results)) {
        return errorFromResult(*failed);
    }
    if (!content.applicationId.empty()) {
        if (const auto error = link.setApplicationId(content.applicationId)) {
            return error;
        }
    }
    link.setPath(path);
    return link.save();
}

}  // namespace tovask::win32
