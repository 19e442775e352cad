#pragma once
// The Ui port: every message box, question, file dialog, busy cursor and process start of the
// core goes through it. The editor implements it with Qt, varnel-cli with BatchUi, the tests
// with ScriptedUi.

#include "base/format.h"

#include <optional>
#include <string>
#include <vector>

namespace varnel {

struct FileDialogRequest {
    bool open = true; // false: a save dialog, which asks before overwriting
    std::string title;
    std::string filter;           // one entry: "Description|pattern|"
    std::string defaultExtension; // with its dot, added when the user types none
    std::string initialName;      // shown in the name field
    std::string initialFolder;    // the folder the dialog starts in
};

class UiPort {
  public:
    virtual ~UiPort() = default;

    // Plain message box with OK.
    virtual void information(const std::string& text) = 0;
    // Question box with Yes and No; true on Yes.
    virtual bool question(const std::string& text) = 0;
    // Error box with a stop icon and OK.
    virtual void error(const std::string& text) = 0;
    // The chosen full path, or nothing when cancelled.
    virtual std::optional<std::string> fileDialog(const FileDialogRequest& request) = 0;
    // A line of text asked for with `label` ("Value for 12 cells:"), `initial` shown selected;
    // Windows-1252 bytes, or nothing when cancelled. With `items` the answer is one of them,
    // chosen from a list. A port without a person to ask cancels.
    virtual std::optional<std::string> askText(const std::string& label, const std::string& initial,
                                               const std::vector<std::string>& items = {}) {
        (void)label;
        (void)initial;
        (void)items;
        return std::nullopt;
    }
    // Shows or hides the busy cursor; calls nest.
    virtual void setBusy(bool busy) = 0;
    // Starts `program` with `arguments`, each one argument, without waiting; false on failure.
    virtual bool startDetached(const std::string& program,
                               const std::vector<std::string>& arguments) = 0;
};

// The three message helpers: printf-style texts of at most 512 characters.
void MessageBox(UiPort& ui, const char* format, ...) VARNEL_PRINTF(2, 3);
bool QuestionBox(UiPort& ui, const char* format, ...) VARNEL_PRINTF(2, 3);
void ErrorBox(UiPort& ui, const char* format, ...) VARNEL_PRINTF(2, 3);

// Shows the busy cursor for its lifetime.
class BusyCursor {
  public:
    explicit BusyCursor(UiPort& ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyCursor() { ui_.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    UiPort& ui_;
};

} // namespace varnel
