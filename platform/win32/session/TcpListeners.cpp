#include "platform/win32/session/TcpListeners.h"

// In this order: the socket headers before windows.h, which would bring the
// old ones, and the address definitions before the address text functions.
#include <winsock2.h>

#include <ws2tcpip.h>

#include <iphlpapi.h>
#include <mstcpip.h>
#include <windows.h>

#include <algorithm>
#include <iterator>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"

namespace tovask::win32 {
namespace {

using GetExtendedTcpTableFunction = DWORD(WINAPI*)(PVOID, PDWORD, BOOL, ULONG, TCP_TABLE_CLASS,
                                                   ULONG);

// The table grows between the call that sizes it and the call that fills it
// when sockets open meanwhile: asked again with the new size a few times.
Result<std::vector<char>> readTable(GetExtendedTcpTableFunction getTable, ULONG family) {
    constexpr int kAttempts = 8;
    std::vector<char> table;
    DWORD size = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const DWORD result = getTable(table.empty() ? nullptr : table.data(), &size, FALSE, family,
                                      TCP_TABLE_OWNER_PID_LISTENER, 0);
        if (result == NO_ERROR) {
            return table;
        }
        if (result != ERROR_INSUFFICIENT_BUFFER) {
            return errorFromCode(result);
        }
        table.assign(size, 0);
    }
    return errorFromCode(ERROR_INSUFFICIENT_BUFFER);
}

// The table holds ports in network byte order in the low 16 bits.
std::uint16_t hostOrderPort(DWORD networkPort) {
    return static_cast<std::uint16_t>(((networkPort & 0xff) << 8) | ((networkPort >> 8) & 0xff));
}

void addIpv4(const std::vector<char>& bytes, std::vector<TcpListener>& listeners) {
    const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(bytes.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_TCPROW_OWNER_PID& row = table->table[i];
        IN_ADDR address{};
        address.S_un.S_addr = row.dwLocalAddr;
        wchar_t text[16] = {};
        RtlIpv4AddressToStringW(&address, text);
        listeners.push_back({text, false, hostOrderPort(row.dwLocalPort),
                             static_cast<std::uint32_t>(row.dwOwningPid)});
    }
}

void addIpv6(const std::vector<char>& bytes, std::vector<TcpListener>& listeners) {
    const auto* table = reinterpret_cast<const MIB_TCP6TABLE_OWNER_PID*>(bytes.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_TCP6ROW_OWNER_PID& row = table->table[i];
        IN6_ADDR address{};
        static_assert(sizeof(address.u.Byte) == sizeof(row.ucLocalAddr));
        std::copy(std::begin(row.ucLocalAddr), std::end(row.ucLocalAddr), address.u.Byte);
        wchar_t text[46] = {};
        RtlIpv6AddressToStringW(&address, text);
        listeners.push_back({text, true, hostOrderPort(row.dwLocalPort),
                             static_cast<std::uint32_t>(row.dwOwningPid)});
    }
}

}  // namespace

Result<std::vector<TcpListener>> listeningTcpSockets() {
    const auto iphlpapi = loadSystemLibrary(L"iphlpapi.dll");
    if (!iphlpapi.ok()) {
        return iphlpapi.error();
    }
    const auto getTable =
        findExport<GetExtendedTcpTableFunction>(iphlpapi.value(), "GetExtendedTcpTable");
    if (getTable == nullptr) {
        return lastError();
    }
    std::vector<TcpListener> listeners;
    const auto ipv4 = readTable(getTable, AF_INET);
    if (!ipv4.ok()) {
        return ipv4.error();
    }
    addIpv4(ipv4.value(), listeners);
    const auto ipv6 = readTable(getTable, AF_INET6);
    if (!ipv6.ok()) {
        return ipv6.error();
    }
    addIpv6(ipv6.value(), listeners);
    return listeners;
}

Result<std::wstring> processProgramPath(std::uint32_t processId) {
    const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return lastError();
    }
    // Long paths exceed MAX_PATH; the system's own limit is 32767 characters.
    std::wstring path(32768, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) {
        return lastError();
    }
    path.resize(length);
    return path;
}

}  // namespace tovask::win32
