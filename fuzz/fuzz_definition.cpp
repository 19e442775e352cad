// Feeds arbitrary bytes to the definition-file reader of merge and export, and checks what every
// caller relies on: codes are positive, and the name is "-" or a line of at most 255 characters.

#include "convert/definitionfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parsed = varnel::ParseDefinitionFile(std::span<const std::uint8_t>(data, size));
    for (const int code : parsed.codes)
        if (code < 0)
            std::abort();
    if (parsed.sourceName.size() > varnel::kMaxDefinitionLine)
        std::abort();
    return 0;
}
