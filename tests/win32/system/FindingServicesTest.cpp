// The socket headers before windows.h, which would bring the old ones.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/win32/services/InternetSettingsNotice.h"
#include "platform/win32/services/MachineJoin.h"
#include "platform/win32/services/PolicyRefresh.h"
#include "platform/win32/services/TcpListeners.h"

namespace tovask {
namespace {

TEST(MachineJoinTest, AnsweredForThisMachine) {
    const auto join = win32::machineJoin();
    ASSERT_TRUE(join.ok()) << join.error().message();
    // Wine's machine is in a workgroup and has no cloud join call.
    EXPECT_FALSE(join.value().domainJoined);
    EXPECT_FALSE(join.value().cloudJoined);
}

TEST(PolicyRefreshTest, RefreshesOrSaysTheSystemLacksIt) {
    for (const auto scope : {win32::PolicyScope::Machine, win32::PolicyScope::User}) {
        const auto error = win32::refreshPolicy(scope);
        EXPECT_TRUE(!error || error == std::errc::function_not_supported) << error.message();
    }
}

TEST(InternetSettingsNoticeTest, TakenOrTheRefreshIsUnsupported) {
    const auto error = win32::announceInternetSettingsChanged();
    EXPECT_TRUE(!error || error == std::errc::function_not_supported) << error.message();
}

class WinsockSession {
  public:
    WinsockSession() { EXPECT_EQ(WSAStartup(MAKEWORD(2, 2), &data_), 0); }
    ~WinsockSession() { WSACleanup(); }

  private:
    WSADATA data_{};
};

TEST(TcpListenersTest, OwnSocketIsListedWithThisProgram) {
    const WinsockSession winsock;
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(listener, INVALID_SOCKET);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const auto port = ntohs(address.sin_port);

    const auto listeners = win32::listeningTcpSockets();
    closesocket(listener);

    ASSERT_TRUE(listeners.ok()) << listeners.error().message();
    const auto own = std::ranges::find_if(listeners.value(), [&](const auto& socket) {
        return socket.port == port && socket.address == L"127.0.0.1" && !socket.ipv6;
    });
    ASSERT_NE(own, listeners.value().end());
    if (own->processId == 0) {
        GTEST_SKIP() << "the system here names no owner of a socket (Wine 8 reports 0)";
    }
    EXPECT_EQ(own->processId, GetCurrentProcessId());
}

// The address is written as the system writes it, without ntdll's help.
TEST(TcpListenersTest, OwnIpv6LoopbackSocketIsWrittenShort) {
    const WinsockSession winsock;
    const SOCKET listener = socket(AF_INET6, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    int length = sizeof(address);
    if (listener == INVALID_SOCKET ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        closesocket(listener);
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    ASSERT_EQ(listen(listener, 1), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const auto listeners = win32::listeningTcpSockets();
    closesocket(listener);
    ASSERT_TRUE(listeners.ok());
    EXPECT_TRUE(std::ranges::any_of(listeners.value(), [&](const auto& socket) {
        return socket.port == ntohs(address.sin6_port) && socket.address == L"::1";
    }));
}

TEST(TcpListenersTest, ProgramPathOfThisProcess) {
    wchar_t program[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
    const auto path = win32::processProgramPath(GetCurrentProcessId());
    ASSERT_TRUE(path.ok()) << path.error().message();
    EXPECT_EQ(_wcsicmp(path.value().c_str(), program), 0);
}

TEST(TcpListenersTest, ProgramOfAProcessThatIsGoneIsAnError) {
    // Process ids are multiples of four: this one never names a process.
    EXPECT_FALSE(win32::processProgramPath(3).ok());
}

}  // namespace
}  // namespace tovask
