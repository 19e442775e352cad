#pragma once
// The bulk commands of the document: merge and export by definition file, the PG2 to PeG
// conversion and the global cost change. Each has a request (its files and answers): the
// interactive front asks for it through the Ui port, varnel-cli fills it from its options, and one
// Run function does the work, so nobody answers a question by matching its text.

#include "convert/costmodifier.h"
#include "convert/definitionfile.h"
#include "equip/game.h"

#include <cstddef>
#include <optional>
#include <string>

namespace varnel {

class CVarnelDoc;

// A definition file the user chose, with what it says.
struct ChosenDefinition {
    std::string path;
    DefinitionFile parsed;
};

// Reads the definition file at `path`. Shows "file [%s]\nnot found" when it cannot be read and
// "There are nothing to do (valid data) in %s" when it lists no code.
std::optional<ChosenDefinition> ReadDefinitionFile(CVarnelDoc& doc, const std::string& path);

// Asks for a definition file (the game's T-File kind with `title`, *.txt) and reads it; nothing
// (quietly) when the user cancels.
std::optional<ChosenDefinition> ChooseDefinitionFile(CVarnelDoc& doc, Game game, const char* title);

struct MergeRequest {
    ChosenDefinition definition;
    std::string source; // the E-File the units come from
    std::string names;  // its Names E-File
};

// The merge's questions: the definition file, the source E-File (preset from the definition
// file), its Names E-File when it is not beside it, and "Merging %d units as defined...Continue ?".
std::optional<MergeRequest> AskMergeRequest(CVarnelDoc& doc, Game game);
// Appends the units of `request` to the game's table as one step of its history and reports
// "Merged %d units...". Refuses (with a message,
// changing nothing) a source that cannot be read, a source of the other game, and a merge past
// 65,535 units. The number appended, or nothing.
std::optional<std::size_t> RunMerge(CVarnelDoc& doc, Game game, const MergeRequest& request);
// AskMergeRequest, then RunMerge.
std::optional<std::size_t> MergeByDefinitionFile(CVarnelDoc& doc, Game game);

struct ExportRequest {
    ChosenDefinition definition;
    std::string target; // the new E-File; its Names E-File goes beside it
};

// Refuses codes outside the game's table and lists longer than an E-File holds, with a message.
bool CheckExportCodes(CVarnelDoc& doc, Game game, const ChosenDefinition& definition);
// The export's questions: the definition file (checked as above), the target E-File in a save
// dialog, and "Exporting %d units as defined...Continue ?".
std::optional<ExportRequest> AskExportRequest(CVarnelDoc& doc, Game game);
// Writes the listed units to the target and its Names E-File (both or neither) and reports
// "Exported %d units...". Changes neither the change flags nor the table. A failed write shows
// the error box of every save. The number written, or nothing.
std::optional<std::size_t> RunExport(CVarnelDoc& doc, Game game, const ExportRequest& request);
std::optional<std::size_t> ExportByDefinitionFile(CVarnelDoc& doc, Game game);

struct ConvertRequest {
    std::string pegTFile;       // the PeG T-File to read; empty: the default search
    bool takeOverNames = false; // the answer to "Do you want to change current Country's names..."
    std::string convertedTFile; // where the converted T-File goes; empty: none is written
    std::string eFile;          // the name of the converted E-File; empty: "PG2_Equip97.EQP" in
                                // the PeG folder
};

// What a conversion did.
struct ConvertResult {
    bool converted = false; // the PeG table was replaced by the converted one
    std::string tFile;      // the converted T-File it was to write; empty: none
    bool tFileWritten = false;
    explicit operator bool() const { return converted; }
};

// The conversion command. Needs a loaded PG2 table ("You better load any PG2 E-File, first!"
// otherwise). Runs the save prompt over a loaded PeG table (a failed Yes cancels), reads the PeG
// T-File, asks whether to take over the PG2 country names and where to save the converted T-File;
// only then replaces the PeG table by the converted one, named "PG2_Equip97.EQP" in the PeG
// folder, as one step of the PeG history, and ends with "Conversion made!...".
ConvertResult ConvertPg2ToPeg(CVarnelDoc& doc, const std::string& pegTFile = {});
// The same with every answer given: no question is asked but the save prompt's.
ConvertResult RunConversion(CVarnelDoc& doc, const ConvertRequest& request);

// Writes the converted copy of the current PeG T-File to `target`, which then becomes the
// current PeG T-File. When the source cannot be read the user is asked for it; on cancel "file
// [%s]\nnot found!\nNo %s created" is shown. When `target` cannot be written: "Error on creating
// [%s]" (error box). False when nothing was written.
bool WriteConvertedTFile(CVarnelDoc& doc, const std::string& target);

// The modifier's OK: applies the change to the loaded PeG table as one step (none when no unit
// is counted) and shows "%d Units modified". Returns the number of units changed.
int ModifyPegCosts(CVarnelDoc& doc, const CostChoices& choices);

} // namespace varnel
