#include "app/openfile.h"

#include "equip/efile.h"

#include "app/varneldoc.h"
#include "base/fileio.h"

namespace varnel {

namespace {

// Tries `read(path)` until it succeeds, asking for another file of the kind after each failure.
template <class Read>
std::optional<std::string> readOrAsk(CVarnelDoc& state, FileKind kind, std::string path,
                                     const char* notFoundTail, Read&& read) {
    for (;;) {
        // A FIFO, device or folder is refused at once: reading it could block forever.
        if (IsNonRegularFile(path)) {
            MessageBox(state.ui, "not a regular file: %s", path.c_str());
            return std::nullopt;
        }
        if (read(path))
            return path;
        const std::string chosen = ChooseFile(state.ui, state.settings(), kind);
        if (chosen == kNoValue) {
            MessageBox(state.ui, "file [%s]\nnot found%s", path.c_str(), notFoundTail);
            return std::nullopt;
        }
        path = chosen;
    }
}

} // namespace

std::optional<OpenedFile> ReadFileOrAsk(CVarnelDoc& state, FileKind kind, std::string path,
                                        const char* notFoundTail) {
    Bytes bytes;
    auto read = readOrAsk(state, kind, std::move(path), notFoundTail, [&](const std::string& p) {
        auto got = ReadFileBytes(p);
        if (got)
            bytes = std::move(*got);
        return got.has_value();
    });
    if (!read)
        return std::nullopt;
    return OpenedFile{std::move(*read), std::move(bytes)};
}

std::optional<std::string>
StreamFileOrAsk(CVarnelDoc& state, FileKind kind, std::string path, const char* notFoundTail,
                const std::function<void()>& restart,
                const std::function<void(std::span<const std::uint8_t>)>& sink) {
    return readOrAsk(state, kind, std::move(path), notFoundTail, [&](const std::string& p) {
        restart();
        return ReadFileChunks(p, sink);
    });
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
