#include <windows.h>

namespace {

constexpr IMAGE_LOAD_CONFIG_DIRECTORY loadConfiguration() {
    IMAGE_LOAD_CONFIG_DIRECTORY configuration{};
    configuration.Size = sizeof configuration;
    // MinGW's header still names DependentLoadFlags "Reserved1".
    configuration.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
    return configuration;
}

}  // namespace

// The program's load configuration. GNU ld does not point the image's
// load-configuration entry at it; a post-link step does (see resources/). The
// loader then lets the libraries we import load their own imports from the
// system folder only.
extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = loadConfiguration();
