#include "platform/win32/services/MachineJoin.h"

#include <windows.h>

#include <lm.h>

#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"

namespace tovask::win32 {
namespace {

// The first field of DSREG_JOIN_INFO, which the MinGW headers lack; the
// structure is only read through the pointer the system hands out.
struct CloudJoinInfo {
    DWORD joinType;
};
constexpr DWORD kDeviceJoin = 1;

using GetJoinInformation = NET_API_STATUS(WINAPI*)(LPCWSTR, LPWSTR*, PNETSETUP_JOIN_STATUS);
using BufferFree = NET_API_STATUS(WINAPI*)(LPVOID);
using GetAadJoinInformation = HRESULT(WINAPI*)(LPCWSTR, CloudJoinInfo**);
using FreeAadJoinInformation = VOID(WINAPI*)(CloudJoinInfo*);

Result<bool> domainJoined(const LoadedLibrary& netapi) {
    const auto getJoin = findExport<GetJoinInformation>(netapi, "NetGetJoinInformation");
    const auto bufferFree = findExport<BufferFree>(netapi, "NetApiBufferFree");
    if (getJoin == nullptr || bufferFree == nullptr) {
        return lastError();
    }
    LPWSTR name = nullptr;
    NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
    const NET_API_STATUS result = getJoin(nullptr, &name, &status);
    if (name != nullptr) {
        bufferFree(name);
    }
    if (result != NERR_Success) {
        return errorFromCode(result);
    }
    return status == NetSetupDomainName;
}

Result<bool> cloudJoined(const LoadedLibrary& netapi) {
    const auto getJoin = findExport<GetAadJoinInformation>(netapi, "NetGetAadJoinInformation");
    const auto freeJoin = findExport<FreeAadJoinInformation>(netapi, "NetFreeAadJoinInformation");
    if (getJoin == nullptr || freeJoin == nullptr) {
        return false;
    }
    CloudJoinInfo* info = nullptr;
    const HRESULT result = getJoin(nullptr, &info);
    const bool joined = info != nullptr && info->joinType == kDeviceJoin;
    if (info != nullptr) {
        freeJoin(info);
    }
    if (const auto error = errorFromResult(result)) {
        return error;
    }
    return joined;
}

}  // namespace

Result<MachineJoin> machineJoin() {
    const auto netapi = loadSystemLibrary(L"netapi32.dll");
    if (!netapi.ok()) {
        return netapi.error();
    }
    const auto domain = domainJoined(netapi.value());
    if (!domain.ok()) {
        return domain.error();
    }
    const auto cloud = cloudJoined(netapi.value());
    if (!cloud.ok()) {
        return cloud.error();
    }
    return MachineJoin{.domainJoined = domain.value(), .cloudJoined = cloud.value()};
}

}  // namespace tovask::win32
