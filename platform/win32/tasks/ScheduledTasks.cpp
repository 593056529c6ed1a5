#include "platform/win32/tasks/ScheduledTasks.h"

#include <windows.h>

#include <oleauto.h>
#include <taskschd.h>
#include <xmllite.h>

#include <wrl/client.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/ComObjects.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/files/FileQueries.h"
#include "text/Blanks.h"
#include "text/TextCompare.h"

namespace tovask::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// A task's definition is a few levels deep; a planted file nested deeper is
// refused before it can cost anything.
constexpr UINT kMaxElementDepth = 32;

// The elements open around the reader's position, innermost last.
class ElementPath {
  public:
    void enter(std::wstring_view name) { names_.emplace_back(name); }
    void leave() {
        if (!names_.empty()) {
            names_.pop_back();
        }
    }
    // Whether the innermost elements are these, in order.
    bool endsWith(std::initializer_list<std::wstring_view> names) const {
        if (names.size() > names_.size()) {
            return false;
        }
        auto at = names_.end() - static_cast<std::ptrdiff_t>(names.size());
        for (const auto name : names) {
            if (*at++ != name) {
                return false;
            }
        }
        return true;
    }

  private:
    std::vector<std::wstring> names_;
};

class TaskReader {
  public:
    void element(std::wstring_view name, bool empty) {
        path_.enter(name);
        if (path_.endsWith({L"Task", L"Actions", L"Exec"})) {
            task_.actions.emplace_back();
        }
        if (empty) {
            path_.leave();
        }
    }
    void endElement() { path_.leave(); }
    void text(std::wstring_view text) {
        if (path_.endsWith({L"Task", L"Settings", L"Enabled"})) {
            task_.enabled = !equalsIgnoringCase(trimmed(text, kWhitespace), L"false");
        } else if (!task_.actions.empty() && path_.endsWith({L"Actions", L"Exec", L"Command"})) {
            task_.actions.back().command += text;
        } else if (!task_.actions.empty() && path_.endsWith({L"Actions", L"Exec", L"Arguments"})) {
            task_.actions.back().arguments += text;
        }
    }
    TaskDefinition take() { return std::move(task_); }

  private:
    ElementPath path_;
    TaskDefinition task_;
};

Result<ComPtr<IXmlReader>> xmlReaderOver(const LoadedLibrary& xmllite, std::string_view bytes) {
    using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    const auto create = findExport<CreateXmlReaderFunction>(xmllite, "CreateXmlReader");
    if (create == nullptr) {
        return std::make_error_code(std::errc::function_not_supported);
    }
    ComPtr<IStream> stream;
    ComPtr<IXmlReader> reader;
    ULONG written = 0;
    const std::array<HRESULT, 6> results = {
        CreateStreamOnHGlobal(nullptr, TRUE, &stream),
        stream ? stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)
               : E_POINTER,
        stream ? stream->Seek({}, STREAM_SEEK_SET, nullptr) : E_POINTER,
        create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.GetAddressOf()), nullptr),
        reader ? reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit)
               : E_POINTER,
        reader ? reader->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxElementDepth)
               : E_POINTER,
    };
    for (const auto result : results) {
        if (FAILED(result)) {
            return errorFromResult(result);
        }
    }
    if (const auto error = errorFromResult(reader->SetInput(stream.Get()))) {
        return error;
    }
    return reader;
}

// The reader's text stays valid until it moves on. The call is made before
// its results are read: an argument list would read them in any order.
template <typename Getter>
std::wstring_view readerText(Getter get) {
    LPCWSTR text = nullptr;
    UINT length = 0;
    const HRESULT result = get(&text, &length);
    return SUCCEEDED(result) && text != nullptr ? std::wstring_view(text, length)
                                                : std::wstring_view{};
}

std::wstring_view localName(IXmlReader& reader) {
    return readerText(
        [&](LPCWSTR* text, UINT* length) { return reader.GetLocalName(text, length); });
}

std::wstring_view nodeValue(IXmlReader& reader) {
    return readerText([&](LPCWSTR* text, UINT* length) { return reader.GetValue(text, length); });
}

// The Tasks folder below the Windows folder, by either name a 32-bit
// program may reach it.
std::optional<std::wstring> taskNameOf(std::wstring_view file) {
    wchar_t windows[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::nullopt;
    }
    for (const auto folder : {L"\\System32\\Tasks\\", L"\\Sysnative\\Tasks\\"}) {
        const auto prefix = std::wstring(windows, length) + folder;
        if (file.size() > prefix.size() &&
            equalsIgnoringCase(file.substr(0, prefix.size()), prefix)) {
            return L"\\" + std::wstring(file.substr(prefix.size()));
        }
    }
    return std::nullopt;
}

}  // namespace

Result<LoadedLibrary> loadXmlLite() {
    return loadSystemLibrary(L"xmllite.dll");
}

Result<TaskDefinition> readTaskFile(std::wstring_view path, const LoadedLibrary& xmllite) {
    const auto bytes = readFileContent(path, kTaskFileSizeLimit);
    if (!bytes.ok()) {
        return bytes.error();
    }
    auto opened = xmlReaderOver(xmllite, bytes.value());
    if (!opened.ok()) {
        return opened.error();
    }
    auto& reader = *opened.value().Get();
    TaskReader task;
    bool sawTask = false;
    XmlNodeType node = XmlNodeType_None;
    HRESULT result = S_OK;
    while ((result = reader.Read(&node)) == S_OK) {
        if (node == XmlNodeType_Element) {
            const auto name = localName(reader);
            sawTask = sawTask || name == L"Task";
            task.element(name, reader.IsEmptyElement() != FALSE);
        } else if (node == XmlNodeType_EndElement) {
            task.endElement();
        } else if (node == XmlNodeType_Text || node == XmlNodeType_CDATA) {
            task.text(nodeValue(reader));
        }
    }
    if (FAILED(result) || !sawTask) {
        return std::make_error_code(std::errc::illegal_byte_sequence);
    }
    return task.take();
}

namespace {

// The scheduler's own task of the file, within the calling thread's COM:
// found, unknown to the scheduler (none), or the reason it could not ask.
Result<std::optional<ComPtr<IRegisteredTask>>> registeredTaskOf(std::wstring_view taskFile) {
    const auto name = taskNameOf(taskFile);
    if (!name) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    ComPtr<ITaskService> service;
    if (const auto error = errorFromResult(CoCreateInstance(
            CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service)))) {
        return error;
    }
    // Empty variants: this machine, as the running user.
    const VARIANT none{};
    if (const auto error = errorFromResult(service->Connect(none, none, none, none))) {
        return error;
    }
    const SystemText root(SysAllocString(L"\\"));
    const SystemText path(SysAllocString(name->c_str()));
    ComPtr<ITaskFolder> folder;
    if (const auto error = errorFromResult(service->GetFolder(root.get(), &folder))) {
        return error;
    }
    ComPtr<IRegisteredTask> task;
    const HRESULT found = folder->GetTask(path.get(), &task);
    // The scheduler answers for a name it has not registered, in a folder it
    // has or not, as for a missing file.
    if (found == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
        found == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)) {
        return std::optional<ComPtr<IRegisteredTask>>();
    }
    if (const auto error = errorFromResult(found)) {
        return error;
    }
    return std::optional<ComPtr<IRegisteredTask>>(std::move(task));
}

}  // namespace

std::error_code setTaskEnabled(std::wstring_view taskFile, bool enabled) {
    const ComApartment apartment;
    if (!apartment.usable()) {
        return errorFromResult(apartment.result());
    }
    const auto task = registeredTaskOf(taskFile);
    if (!task.ok()) {
        return task.error();
    }
    if (!task.value()) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    return errorFromResult((*task.value())->put_Enabled(enabled ? VARIANT_TRUE : VARIANT_FALSE));
}

Result<bool> schedulerKnowsTask(std::wstring_view taskFile) {
    const ComApartment apartment;
    if (!apartment.usable()) {
        return errorFromResult(apartment.result());
    }
    const auto task = registeredTaskOf(taskFile);
    if (!task.ok()) {
        return task.error();
    }
    return task.value().has_value();
}

}  // namespace tovask::win32
