#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/win32/TestRegistry.h"

namespace tovask::testsupport {

// A value that unwanted software leaves, and how the report names it.
struct HijackSeed {
    HKEY root;
    std::wstring key;
    std::wstring name;
    std::wstring text;
    std::string reportedAs;
};

// What a run may change: each seeded value in each of its views, and the HOSTS
// file and every backup beside it (std::nullopt where there is none).
struct PrefixState {
    std::vector<std::optional<StoredValue>> values;
    std::vector<std::optional<std::string>> files;
};

// The Wine prefix's own registry and HOSTS file hijacked for one test, and
// put back as they were when it ends.
class HijackedPrefix {
  public:
    HijackedPrefix();
    HijackedPrefix(const HijackedPrefix&) = delete;
    HijackedPrefix& operator=(const HijackedPrefix&) = delete;
    ~HijackedPrefix();

    static const std::vector<HijackSeed>& seeds();
    static std::string hijackedHostsContent();
    // The system HOSTS file, as the program names it.
    static std::wstring systemHosts();

    PrefixState observe() const;
    enum class Hijack { InPlace, Gone };
    // InPlace: each seeded value holds its hijacked text and the HOSTS file its
    // hijacked content; Gone: none does.
    void expectHijack(Hijack state) const;

  private:
    std::vector<std::function<void()>> restores_;
};

}  // namespace tovask::testsupport
