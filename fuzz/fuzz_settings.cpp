// Feeds arbitrary bytes to the INI settings reader as the file of `--settings`, then reads every
// setting with its defaults as the program does at start.

#include "app/appsettings.h"
#include "app/settingsstore.h"
#include "base/fileio.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path =
        (std::filesystem::temp_directory_path() /
         ("varnel-fuzz-settings-" + std::to_string(::getpid()) + ".ini"))
            .string();
    varnel::SaveFileBytes(path, varnel::Bytes(data, data + size));
    varnel::IniSettingsBackend store(path);
    varnel::AppSettings settings;
    varnel::ReadAllSettings(settings, store);
    // A write rewrites the file safely; reading it back must give the value written.
    store.write("Suffix", ".fra");
    if (store.read("Suffix") != std::optional<std::string>(".fra"))
        __builtin_trap();
    varnel::IniSettingsBackend again(path);
    if (again.read("Suffix") != std::optional<std::string>(".fra"))
        __builtin_trap();
    return 0;
}
