#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "values/RegistryValue.h"
#include "values/Result.h"

namespace tovask {

// Given what a removal is about to take, as read through the very handle that
// takes it, at that moment; an error stops the removal.
using BeforeKeyRemoval = std::function<std::error_code(const RegistryKeyContent& removed)>;
using BeforeValueRemoval = std::function<std::error_code(const RegistryValue& removed)>;

// The names of a key's subkeys, as many as were asked for at most.
struct SubkeyListing {
    std::vector<std::wstring> names;
    bool truncated = false;  // the key holds more
};

// The registry part of the platform: keys and values, one view at a time,
// and the users' hives. A path is "HKCU", "HKLM" or "HKU", a backslash and key
// names joined by backslashes; a trailing backslash names a key (its default
// value for a write), otherwise the text after the last backslash is a value
// name. Reads follow registry links as the system does; nothing that changes
// the registry acts through a link at the key it names, or at a key below a
// key it removes: such a change is refused with
// std::errc::too_many_symbolic_link_levels and changes nothing, so that a key
// swapped for a link after it was judged never turns a change onto another key.
class RegistryOps {
  public:
    virtual ~RegistryOps() = default;

    virtual std::error_code RegWrite(std::wstring_view path, RegistryData value,
                                     RegistryType type) = 0;
    // Deletes a value, or a key with its whole subtree.
    virtual std::error_code RegDelete(std::wstring_view path) = 0;

    // The registry one view at a time, for the backup and its restore. Paths
    // take the same form as above and may also start with "HKU"; the view is
    // one of viewsFor(root, key, HasTwoRegistryViews()).
    // True on a 64-bit Windows, whose machine-wide software keys have a 32-bit
    // and a 64-bit view; the rows under HKLM then act on both.
    virtual bool HasTwoRegistryViews() = 0;
    // A value, or with a trailing backslash the key's default value.
    virtual Result<RegistryValue> RegReadValue(std::wstring_view path, RegistryView view) = 0;
    // Whether the key named by a path with a trailing backslash exists.
    virtual Result<bool> RegKeyExists(std::wstring_view keyPath, RegistryView view) = 0;
    // The key with all its values and subkeys, to any depth; its own name is
    // the last name of the path.
    virtual Result<RegistryKeyContent> RegReadTree(std::wstring_view keyPath,
                                                   RegistryView view) = 0;
    // The names of the keys directly under the key, in the order the registry
    // gives them, `mostNames` at most: a key flooded with subkeys is not read
    // to its end.
    virtual Result<SubkeyListing> RegListSubkeys(std::wstring_view keyPath, RegistryView view,
                                                 std::size_t mostNames) = 0;
    // Creates the key and the keys on the way to it; an existing key is kept.
    virtual std::error_code RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) = 0;
    // Stores the raw bytes under the type, creating the keys on the way. The
    // value is named apart from its key, since a value's name may hold a
    // backslash; an empty name is the key's default value.
    virtual std::error_code RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                        const RegistryValue& value, RegistryView view) = 0;
    // Deletes a value, or a key with its subtree, in this view only.
    virtual std::error_code RegDeleteIn(std::wstring_view path, RegistryView view) = 0;
    // Deletes one value of the key, its default value for an empty name.
    virtual std::error_code RegDeleteValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                             RegistryView view) = 0;
    // The same removals, handing over first what they take: the key with its
    // subtree, or the value, read through the handles that then remove it.
    virtual std::error_code RegRemoveKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                               const BeforeKeyRemoval& beforeRemoval) = 0;
    virtual std::error_code RegRemoveValueAsRead(std::wstring_view keyPath,
                                                 std::wstring_view valueName, RegistryView view,
                                                 const BeforeValueRemoval& beforeRemoval) = 0;

    // The users' hives, for a repair on behalf of every user of the machine.
    // The names of the keys directly under HKEY_USERS.
    virtual Result<std::vector<std::wstring>> LoadedUserHives() = 0;
    // Loads a user's NTUSER.DAT as HKEY_USERS\<mountName>, enabling the backup
    // and restore privileges that this needs.
    virtual std::error_code LoadUserHive(std::wstring_view mountName,
                                         std::wstring_view hiveFile) = 0;
    virtual std::error_code UnloadUserHive(std::wstring_view mountName) = 0;
};

// Passes every registry operation on to another platform; a decorator derives
// from it (through ForwardingPlatform) and overrides only what it handles.
class ForwardingRegistryOps : public virtual RegistryOps {
  public:
    explicit ForwardingRegistryOps(RegistryOps& next) : next_(next) {}

    std::error_code RegWrite(std::wstring_view path, RegistryData value,
                             RegistryType type) override {
        return next_.RegWrite(path, value, type);
    }
    std::error_code RegDelete(std::wstring_view path) override { return next_.RegDelete(path); }
    bool HasTwoRegistryViews() override { return next_.HasTwoRegistryViews(); }
    Result<RegistryValue> RegReadValue(std::wstring_view path, RegistryView view) override {
        return next_.RegReadValue(path, view);
    }
    Result<bool> RegKeyExists(std::wstring_view keyPath, RegistryView view) override {
        return next_.RegKeyExists(keyPath, view);
    }
    Result<RegistryKeyContent> RegReadTree(std::wstring_view keyPath, RegistryView view) override {
        return next_.RegReadTree(keyPath, view);
    }
    Result<SubkeyListing> RegListSubkeys(std::wstring_view keyPath, RegistryView view,
                                         std::size_t mostNames) override {
        return next_.RegListSubkeys(keyPath, view, mostNames);
    }
    std::error_code RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) override {
        return next_.RegCreateKeyIn(keyPath, view);
    }
    std::error_code RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                const RegistryValue& value, RegistryView view) override {
        return next_.RegWriteRaw(keyPath, valueName, value, view);
    }
    std::error_code RegDeleteIn(std::wstring_view path, RegistryView view) override {
        return next_.RegDeleteIn(path, view);
    }
    std::error_code RegDeleteValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                     RegistryView view) override {
        return next_.RegDeleteValueIn(keyPath, valueName, view);
    }
    std::error_code RegRemoveKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                       const BeforeKeyRemoval& beforeRemoval) override {
        return next_.RegRemoveKeyAsRead(keyPath, view, beforeRemoval);
    }
    std::error_code RegRemoveValueAsRead(std::wstring_view keyPath, std::wstring_view valueName,
                                         RegistryView view,
                                         const BeforeValueRemoval& beforeRemoval) override {
        return next_.RegRemoveValueAsRead(keyPath, valueName, view, beforeRemoval);
    }

    Result<std::vector<std::wstring>> LoadedUserHives() override { return next_.LoadedUserHives(); }
    std::error_code LoadUserHive(std::wstring_view mountName, std::wstring_view hiveFile) override {
        return next_.LoadUserHive(mountName, hiveFile);
    }
    std::error_code UnloadUserHive(std::wstring_view mountName) override {
        return next_.UnloadUserHive(mountName);
    }

  private:
    RegistryOps& next_;
};

}  // namespace tovask
