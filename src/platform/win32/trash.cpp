#include "platform/trash.h"

// windows.h first: the other system headers build on it.
#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "platform/file_system.h"
#include "platform/path.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

class TrashCategoryImpl : public std::error_category {
  public:
    const char* name() const noexcept override { return "trash"; }
    std::string message(int condition) const override {
        switch (static_cast<TrashErrc>(condition)) {
            case TrashErrc::NoHomeFolder:
                return "no user profile is known, so there is no recycle bin";
            case TrashErrc::NoUsableTrash:
                return "the file cannot go to the recycle bin (its drive has none, or the file is "
                       "too large for it); the file was not deleted";
            case TrashErrc::NoFreeName:
                return "no free name for the file in the recycle bin";
            case TrashErrc::NotInTrash:
                return "the recycle bin no longer holds the file that was deleted";
        }
        return "unknown trash error";
    }
};

// Holds COM for the calling thread while the object lives.
class ComScope {
  public:
    ComScope() {
        const HRESULT result =
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        // A thread that runs COM in the other model already may use it as it is.
        m_owned = SUCCEEDED(result);
    }
    ~ComScope() {
        if (m_owned) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool m_owned = false;
};

// Releases a COM object when it goes out of scope.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_object != nullptr) {
            m_object->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* operator->() const { return m_object; }
    T* Get() const { return m_object; }
    T** Out() { return &m_object; }

  private:
    T* m_object = nullptr;
};

// COM interfaces have no virtual destructor: their objects are released, never deleted.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Watches the shell's delete: refuses it unless the item goes to the recycle bin (the shell
// deletes for good, and says it succeeded, on drives without a recycle bin and for files too
// large for it), and notes where the recycled item lies, for the undo.
class RecycleWatch final : public IFileOperationProgressSink {
  public:
    bool Refused() const { return m_refused; }
    const std::wstring& RecycledPath() const { return m_recycled; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IFileOperationProgressSink) {
            *object = static_cast<IFileOperationProgressSink*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The watch lives on the caller's stack for the whole operation.
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD flags, IShellItem*) override {
        if ((flags & TSF_DELETE_RECYCLE_IF_POSSIBLE) == 0) {
            m_refused = true;
            return E_ABORT;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem*, HRESULT result,
                                             IShellItem* created) override {
        PWSTR path = nullptr;
        if (SUCCEEDED(result) && created != nullptr &&
            SUCCEEDED(created->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            m_recycled = path;
            CoTaskMemFree(path);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT,
                                             IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                           IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                           IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT,
                                          IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }

  private:
    bool m_refused = false;
    std::wstring m_recycled;
};

#pragma GCC diagnostic pop

// The recycle bin keeps each item as "$R<id><ext>" beside "$I<id><ext>", which holds where the
// item came from.
std::string InfoPathOf(const std::string& recycled) {
    const PathParts parts = SplitPath(recycled);
    if (!parts.Name.starts_with("$R")) {
        return {};
    }
    return JoinPath(parts.Folder, "$I" + parts.Name.substr(2));
}

std::optional<TrashStamp> ReadStamp(const TrashedFile& trashed) {
    const std::optional<FileStamp> file = ReadFileStamp(trashed.TrashedPath);
    std::string info;
    if (!file || ReadWholeFile(trashed.InfoPath, info)) {
        return std::nullopt;
    }
    return TrashStamp{*file, std::nullopt, std::move(info)};
}

std::error_code ErrorOf(HRESULT result) {
    if (HRESULT_FACILITY(result) == FACILITY_WIN32) {
        return ErrorFrom(HRESULT_CODE(result));
    }
    return {static_cast<int>(result), std::system_category()};
}

// Hands `path` to the shell's recycle bin.
std::error_code Recycle(const std::string& path, RecycleWatch& watch) {
    ComPtr<IFileOperation> operation;
    HRESULT result =
        CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_PPV_ARGS(operation.Out()));
    if (FAILED(result)) {
        return TrashErrc::NoUsableTrash;
    }
    const DWORD quiet = FOF_ALLOWUNDO | FOF_NO_UI | FOFX_EARLYFAILURE;
    if (FAILED(operation->SetOperationFlags(quiet | FOFX_RECYCLEONDELETE)) &&
        FAILED(operation->SetOperationFlags(quiet))) {
        return TrashErrc::NoUsableTrash;
    }
    ComPtr<IShellItem> item;
    result =
        SHCreateItemFromParsingName(SystemPath(path).c_str(), nullptr, IID_PPV_ARGS(item.Out()));
    if (FAILED(result)) {
        return ErrorOf(result);
    }
    result = operation->DeleteItem(item.Get(), &watch);
    if (SUCCEEDED(result)) {
        result = operation->PerformOperations();
    }
    BOOL aborted = FALSE;
    operation->GetAnyOperationsAborted(&aborted);
    if (watch.Refused() || result == E_NOTIMPL) {
        return TrashErrc::NoUsableTrash;
    }
    if (FAILED(result)) {
        return ErrorOf(result);
    }
    if (aborted) {
        return std::make_error_code(std::errc::operation_canceled);
    }
    return {};
}

}  // namespace

const std::error_category& TrashCategory() {
    static const TrashCategoryImpl category;
    return category;
}

std::error_code make_error_code(TrashErrc errc) {
    return {static_cast<int>(errc), TrashCategory()};
}

TrashResult MoveToTrash(const std::string& path) {
    TrashResult result;
    const ComScope com;
    RecycleWatch watch;
    const std::error_code error = Recycle(path, watch);
    if (Exists(path)) {
        // Whatever the shell said, the file is still there: the delete failed.
        result.Error = error ? error : make_error_code(TrashErrc::NoUsableTrash);
        return result;
    }
    // The file is gone from its place, and the watch let the shell only recycle it.
    TrashedFile& trashed = result.Trashed;
    trashed.OriginalPath = path;
    trashed.TrashedPath = Narrow(watch.RecycledPath());
    trashed.InfoPath = InfoPathOf(trashed.TrashedPath);
    trashed.Stamp = ReadStamp(trashed);
    return result;
}

std::error_code RestoreFromTrash(const TrashedFile& trashed) {
    // Only the item that the delete put there goes back, unchanged since.
    if (!trashed.Stamp || ReadStamp(trashed) != trashed.Stamp) {
        return TrashErrc::NotInTrash;
    }
    if (!MoveFileExW(SystemPath(trashed.TrashedPath).c_str(),
                     SystemPath(trashed.OriginalPath).c_str(), 0)) {
        return LastError();
    }
    DeleteFileW(SystemPath(trashed.InfoPath).c_str());
    return {};
}

}  // namespace platform
