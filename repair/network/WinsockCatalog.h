#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tovask {

// One of Windows' Winsock catalogs: the key of its entries, one subkey an
// entry, and the value that names each entry's library. The transport
// providers' entries pack the library's path with the protocol they serve;
// the name-space providers' name it plainly. A 64-bit Windows keeps the
// 64-bit providers in the "64" keys.
struct WinsockCatalog {
    std::wstring_view entriesKey;
    std::wstring_view libraryValue;
    bool packed;
};

inline constexpr std::array<WinsockCatalog, 4> kWinsockCatalogs = {{
    {L"SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\"
     L"Catalog_Entries",
     L"PackedCatalogItem", true},
    {L"SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\"
     L"Catalog_Entries64",
     L"PackedCatalogItem", true},
    {L"SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\NameSpace_Catalog5\\"
     L"Catalog_Entries",
     L"LibraryPath", false},
    {L"SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\NameSpace_Catalog5\\"
     L"Catalog_Entries64",
     L"LibraryPath", false},
}};

// What a transport provider's entry packs: the library's path, and the name
// of the protocol it serves where the entry holds one ("MSAFD Tcpip
// [TCP/IP]").
struct PackedProvider {
    std::wstring library;
    std::wstring protocol;

    bool operator==(const PackedProvider&) const = default;
};

// The path is single-byte text ending in a null within the first MAX_PATH
// bytes; a WSAPROTOCOL_INFOW follows. None when no null ends the path there
// or the path is empty; the protocol's name is empty when the bytes end
// before it or it has no null.
std::optional<PackedProvider> readPackedProvider(std::span<const std::uint8_t> item);

// Whether a library, expanded and normalised, is one of the providers Windows
// installs in its system folder.
bool isWindowsProvider(std::wstring_view library, std::wstring_view systemFolder);

}  // namespace tovask
