#include "app/openfile.h"

#include "app/varneldoc.h"
#include "tools/fileio.h"

namespace varnel {

std::optional<OpenedFile> ReadFileOrAsk(CVarnelDoc& state, FileKind kind, std::string path,
                                        const char* notFoundTail) {
    for (;;) {
        if (auto bytes = ReadFileBytes(path))
            return OpenedFile{std::move(path), std::move(*bytes)};
        const std::string chosen = ChooseFile(state.ui, state.settings, kind);
        if (chosen == kNoValue) {
            MessageBox(state.ui, "file [%s]\nnot found%s", path.c_str(), notFoundTail);
            return std::nullopt;
        }
        path = chosen;
    }
}

} // namespace varnel
