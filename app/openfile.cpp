#include "app/openfile.h"

#include "equip/efile.h"

#include "app/varneldoc.h"
#include "tools/fileio.h"

namespace varnel {

std::optional<OpenedFile> ReadFileOrAsk(CVarnelDoc& state, FileKind kind, std::string path,
                                        const char* notFoundTail) {
    for (;;) {
        // A FIFO, device or folder is refused at once: reading it could block forever.
        if (IsNonRegularFile(path)) {
            MessageBox(state.ui, "not a regular file: %s", path.c_str());
            return std::nullopt;
        }
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

std::optional<Bytes> ReadInputFile(UiPort& ui, const std::string& path) {
    if (IsNonRegularFile(path)) {
        MessageBox(ui, "not a regular file: %s", path.c_str());
        return std::nullopt;
    }
    auto bytes = ReadFileBytes(path);
    if (!bytes)
        MessageBox(ui, "file [%s]\nnot found", path.c_str());
    return bytes;
}

bool SourceFitsGame(UiPort& ui, Game game, const std::string& path, std::uintmax_t size) {
    if (SizeFitsGame(game, size))
        return true;
    MessageBox(ui, "not a %s E-File: %s", GameName(game), path.c_str());
    return false;
}

void SaveErrorBox(UiPort& ui, const std::string& path) {
    const std::string& reason = SaveFailureReason();
    if (reason.empty())
        ErrorBox(ui, "Error on creating [%s]", path.c_str());
    else
        ErrorBox(ui, "Error on creating [%s]\n%s", path.c_str(), reason.c_str());
}

} // namespace varnel
