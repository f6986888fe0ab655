// The shell's taskbar list and custom destination list behind the taskbar
// interfaces, and the program's calls into them. Every failure ends the
// operation quietly: the window works on without buttons or jump list (Wine
// offers only some of these objects).
#include <windows.h>
#include <objectarray.h>
#include <propkey.h>
#include <propvarutil.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <array>

#include "platform/dpi_win.h"
#include "platform/settings_store.h"
#include "platform/file.h"
#include "platform/handles_win.h"
#include "taskbar/jump_list.h"
#include "taskbar/jump_recent.h"
#include "taskbar/taskbar_win.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

class ShellThumbnailToolbar final : public ThumbnailToolbar {
  public:
    // `update`: the buttons were added before; only their icons are set again.
    ShellThumbnailToolbar(HINSTANCE module, HWND window, bool update = false)
        : module_(module), window_(window), update_(update) {}

    bool addButtons(const std::vector<ThumbnailButton>& buttons) override {
        ComPtr<ITaskbarList3> taskbar;
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&taskbar))) ||
            FAILED(taskbar->HrInit())) {
            return false;
        }
        std::vector<UniqueIcon> icons;
        const int size = iconSize(14, windowDpi(window_));
        std::vector<THUMBBUTTON> described(buttons.size());
        for (size_t i = 0; i < buttons.size(); ++i) {
            THUMBBUTTON& button = described[i];
            button.dwMask = update_ ? THB_ICON : THB_ICON | THB_TOOLTIP | THB_FLAGS;
            button.iId = static_cast<UINT>(buttons[i].commandId);
            icons.emplace_back(
                static_cast<HICON>(LoadImageW(module_, MAKEINTRESOURCEW(buttons[i].iconId),
                                              IMAGE_ICON, size, size, LR_LOADTRANSPARENT)));
            button.hIcon = icons.back().get();
            lstrcpynW(button.szTip, buttons[i].tooltip.c_str(), ARRAYSIZE(button.szTip));
            button.dwFlags = THBF_ENABLED;
        }
        // The taskbar makes its own copies of the icons; ours go at the end.
        const auto count = static_cast<UINT>(described.size());
        return SUCCEEDED(update_ ? taskbar->ThumbBarUpdateButtons(window_, count, described.data())
                                 : taskbar->ThumbBarAddButtons(window_, count, described.data()));
    }

  private:
    HINSTANCE module_;
    HWND window_;
    bool update_;
};

String fileSystemPath(IUnknown* object) {
    ComPtr<IShellItem> item;
    if (SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&item)))) {
        PWSTR path = nullptr;
        String result;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path)
            result = path;
        CoTaskMemFree(path);
        return result;
    }
    ComPtr<IShellLinkW> link;
    if (SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&link)))) {
        std::array<wchar_t, INFOTIPSIZE> arguments{};
        if (SUCCEEDED(link->GetArguments(arguments.data(), static_cast<int>(arguments.size()))))
            return unquotedArguments(arguments.data());
    }
    return {};
}

class ShellDestinationList final : public DestinationList {
  public:
    explicit ShellDestinationList(String executable) : executable_(std::move(executable)) {}
    ShellDestinationList(const ShellDestinationList&) = delete;
    ShellDestinationList& operator=(const ShellDestinationList&) = delete;
    // A list begun and not committed is given up, leaving the shown one as it was.
    ~ShellDestinationList() override {
        if (list_ && !committed_)
            list_->AbortList();
    }

    std::optional<std::vector<String>> beginList() override {
        ComPtr<IObjectArray> removed;
        UINT minimumSlots = 0;
        ComPtr<ICustomDestinationList> list;
        if (FAILED(CoCreateInstance(CLSID_DestinationList, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&list))) ||
            FAILED(list->BeginList(&minimumSlots, IID_PPV_ARGS(&removed)))) {
            return std::nullopt;
        }
        list_ = std::move(list);
        std::vector<String> paths;
        UINT count = 0;
        if (FAILED(removed->GetCount(&count)))
            return std::nullopt;
        for (UINT i = 0; i < count; ++i) {
            ComPtr<IUnknown> object;
            if (FAILED(removed->GetAt(i, IID_PPV_ARGS(&object))))
                return std::nullopt;
            if (String path = fileSystemPath(object.Get()); !path.empty())
                paths.push_back(std::move(path));
        }
        return paths;
    }

    bool appendCategory(StringView title, const std::vector<JumpLink>& links) override {
        ComPtr<IObjectArray> collection = makeCollection(links);
        return collection &&
               SUCCEEDED(list_->AppendCategory(String(title).c_str(), collection.Get()));
    }

    bool addUserTasks(const std::vector<JumpLink>& links) override {
        ComPtr<IObjectArray> collection = makeCollection(links);
        return collection && SUCCEEDED(list_->AddUserTasks(collection.Get()));
    }

    bool commitList() override {
        committed_ = SUCCEEDED(list_->CommitList());
        return committed_;
    }

  private:
    ComPtr<IShellLinkW> makeLink(const JumpLink& link) {
        ComPtr<IShellLinkW> shellLink;
        ComPtr<IPropertyStore> properties;
        PROPVARIANT title;
        PropVariantInit(&title);
        HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&shellLink));
        if (SUCCEEDED(hr))
            hr = shellLink->SetPath(executable_.c_str());
        if (SUCCEEDED(hr))
            hr = shellLink->SetArguments(link.arguments.c_str());
        if (SUCCEEDED(hr))
            hr = shellLink->SetDescription(link.description.c_str());
        if (SUCCEEDED(hr))
            hr = shellLink->SetIconLocation(executable_.c_str(), link.iconIndex);
        if (SUCCEEDED(hr))
            hr = shellLink.As(&properties);
        if (SUCCEEDED(hr))
            hr = InitPropVariantFromString(link.title.c_str(), &title);
        if (SUCCEEDED(hr))
            hr = properties->SetValue(PKEY_Title, title);
        if (SUCCEEDED(hr))
            hr = properties->Commit();
        PropVariantClear(&title);
        return SUCCEEDED(hr) ? shellLink : nullptr;
    }

    // Null when the collection or any of its links cannot be made.
    ComPtr<IObjectArray> makeCollection(const std::vector<JumpLink>& links) {
        ComPtr<IObjectCollection> collection;
        ComPtr<IObjectArray> array;
        if (FAILED(CoCreateInstance(CLSID_EnumerableObjectCollection, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&collection)))) {
            return nullptr;
        }
        for (const JumpLink& link : links) {
            ComPtr<IShellLinkW> shellLink = makeLink(link);
            if (!shellLink || FAILED(collection->AddObject(shellLink.Get())))
                return nullptr;
        }
        if (FAILED(collection.As(&array)))
            return nullptr;
        return array;
    }

    String executable_;
    ComPtr<ICustomDestinationList> list_;
    bool committed_ = false;
};

BOOL CALLBACK collectGroupIcon(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
    // Named groups count in the platform's order too; they get an id no
    // integer resource has.
    reinterpret_cast<std::vector<int>*>(ids)->push_back(
        IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1);
    return TRUE;
}

std::vector<int> groupIconIds(HINSTANCE module) {
    std::vector<int> ids;
    EnumResourceNamesW(module, RT_GROUP_ICON, collectGroupIcon, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

}  // namespace

void addThumbnailButtons(const TaskbarOwner& owner) {
    ShellThumbnailToolbar toolbar(owner.module, owner.window);
    addThumbnailButtons(toolbar);
}

void updateThumbnailButtons(const TaskbarOwner& owner) {
    ShellThumbnailToolbar toolbar(owner.module, owner.window, true);
    addThumbnailButtons(toolbar);
}

void rebuildJumpList(const TaskbarOwner& owner) {
    ProfileSettingsStore store(owner.settingsPath);
    ShellDestinationList list(owner.programPath);
    rebuildJumpList(list, readRecentItems(store), pathExists, groupIconIds(owner.module));
}

void addRecentItem(const TaskbarOwner& owner, const String& path) {
    if (path.empty() || !pathExists(path))
        return;
    ProfileSettingsStore store(owner.settingsPath);
    recordRecentItem(store, path);
    rebuildJumpList(owner);
}

}  // namespace zav2
