#include "platform/win32/services/TcpListeners.h"

// In this order: the socket headers before windows.h, which would bring the
// old ones.
#include <winsock2.h>

#include <ws2tcpip.h>

#include <iphlpapi.h>
#include <windows.h>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/session/ProcessUser.h"
#include "text/DecimalText.h"

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

// The address in network byte order as the system writes it; written here,
// since the system's own functions for it live in ntdll, which the program
// does not import, and without the C runtime's wide printf.
std::wstring ipv4Text(DWORD address) {
    std::wstring text;
    for (int shift = 0; shift < 32; shift += 8) {
        text += (shift == 0 ? L"" : L".") + decimalText((address >> shift) & 0xff);
    }
    return text;
}

// Lower-case groups without leading zeros, the longest run of two or more
// zero groups (the first of equal ones) written "::".
std::wstring ipv6Text(const UCHAR (&bytes)[16]) {
    unsigned groups[8] = {};
    for (int i = 0; i < 8; ++i) {
        groups[i] = static_cast<unsigned>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    }
    int runStart = -1;
    int runLength = 0;
    for (int i = 0; i < 8;) {
        int end = i;
        while (end < 8 && groups[end] == 0) {
            ++end;
        }
        if (end - i > runLength && end - i >= 2) {
            runStart = i;
            runLength = end - i;
        }
        i = end == i ? i + 1 : end;
    }
    std::wstring text;
    for (int i = 0; i < 8; ++i) {
        if (i == runStart) {
            text += L"::";
            i += runLength - 1;
            continue;
        }
        std::wstring group;
        do {
            group.insert(group.begin(), L"0123456789abcdef"[groups[i] % 16]);
            groups[i] /= 16;
        } while (groups[i] != 0);
        text += (text.empty() || text.ends_with(L':') ? L"" : L":") + group;
    }
    return text;
}

void addIpv4(const std::vector<char>& bytes, std::vector<TcpListener>& listeners) {
    const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(bytes.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_TCPROW_OWNER_PID& row = table->table[i];
        listeners.push_back({ipv4Text(row.dwLocalAddr), false, hostOrderPort(row.dwLocalPort),
                             static_cast<std::uint32_t>(row.dwOwningPid)});
    }
}

void addIpv6(const std::vector<char>& bytes, std::vector<TcpListener>& listeners) {
    const auto* table = reinterpret_cast<const MIB_TCP6TABLE_OWNER_PID*>(bytes.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_TCP6ROW_OWNER_PID& row = table->table[i];
        listeners.push_back({ipv6Text(row.ucLocalAddr), true, hostOrderPort(row.dwLocalPort),
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

Result<std::wstring> processSessionUser(std::uint32_t processId) {
    const auto process = openProcessToQuery(processId);
    if (!process.ok()) {
        return process.error();
    }
    // The token tells the session with the right that reads its user, where
    // ProcessIdToSessionId would want the process's full query right.
    KernelHandle token;
    if (!OpenProcessToken(process.value().get(), TOKEN_QUERY, token.receive())) {
        return lastError();
    }
    DWORD session = 0;
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenSessionId, &session,
                             static_cast<DWORD>(sizeof session), &size)) {
        return lastError();
    }
    // Services run in session 0 since Vista; what a user starts runs in the
    // session of the user's logon.
    if (session == 0) {
        return std::wstring();
    }
    const auto user = ProcessUser::of(process.value().get());
    if (!user.ok()) {
        return user.error();
    }
    return sidText(user.value().sid());
}

}  // namespace tovask::win32
