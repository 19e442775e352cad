#include "app/reportcommands.h"

#include "app/openfile.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "tools/editor.h"

namespace varnel {

bool RunEquipmentReport(CVarnelDoc& state, Game game, int format, bool launchEditor,
                        const std::string& outputPath) {
    if (!state.hasTable(game)) {
        MessageBox(state.ui, "There is nothing to report, load a file first");
        return false;
    }
    if (format < FullTable || format > SimpleList)
        return false;

    const std::string& eFile = state.settings().eFile(game);
    const std::string path = outputPath.empty() ? EquipmentReportPath(game, eFile) : outputPath;
    bool saved = false;
    {
        BusyCursor busy(state.ui);
        const Bytes report =
            game == Game::Pg2 ? WritePg2Report(*state.pg2(), state.countries(game), eFile, format)
                              : WritePegReport(*state.peg(), state.countries(game), eFile, format);
        saved = SaveFileBytes(path, report);
    }
    if (!saved) {
        SaveErrorBox(state.ui, path);
        return false;
    }
    if (launchEditor)
        OpenInEditor(state, path);
    else
        MessageBox(state.ui, "Generated report on file:\n\n %s  \n", path.c_str());
    return true;
}

std::vector<IconUse> CollectUsedIcons(const CVarnelDoc& state, Game game) {
    if (!state.hasTable(game))
        return {};
    return game == Game::Pg2 ? CollectPg2Icons(*state.pg2()) : CollectPegIcons(*state.peg());
}

IconsReportResult RunIconsReport(CVarnelDoc& state, Game game, int type, bool launchEditor,
                                 const std::string& outputPath) {
    const std::vector<IconUse> items = CollectUsedIcons(state, game);
    if (items.empty())
        return IconsReportResult::Empty;

    const std::string& eFile = state.settings().eFile(game);
    const std::string path = outputPath.empty() ? IconsReportPath(eFile) : outputPath;
    if (!SaveFileBytes(path, WriteIconsReport(items, eFile, type))) {
        SaveErrorBox(state.ui, path);
        return IconsReportResult::Failed;
    }
    MessageBox(state.ui, "Generated report on file:\n\n %s  \n", path.c_str());
    if (launchEditor)
        OpenInEditor(state, path);
    return IconsReportResult::Written;
}

} // namespace varnel
