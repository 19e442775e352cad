#pragma once
// The undo history of one game. Every change to a game's units is one step: the patch it applied
// (app/patch.h), which keeps only what it changed and applies backwards to take it back. The
// history keeps the steps in order with the position between done and undone ones, and one clean
// point per file (the E-File and its Names E-File), where the table was as loaded or last saved.

#include "app/patch.h"
#include "equip/game.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace varnel {

enum class ChangeKind { Data, Names };

// What a change did to a game's table, as the observers are told.
struct DocChange {
    enum class Scope {
        Units, // the values of units first .. first + count - 1
        Count, // units were added or removed (positions from `first` on moved or are new)
        Table, // the table was replaced (or removed) whole
    };
    Game game = Game::Pg2;
    Scope scope = Scope::Units;
    std::size_t first = 0;
    std::size_t count = 0;
    bool data = false;  // what the E-File holds changed
    bool names = false; // what the Names E-File holds changed
};

// A step that changed at most this many values lists them.
constexpr std::size_t kStepDetailValues = 20;

// One step of a game's history: the patch it applied, its text and the files it touches.
class EditStep {
  public:
    EditStep(std::string text, Patch patch, bool data, bool names)
        : text_(std::move(text)), patch_(std::move(patch)), data_(data), names_(names) {}
    EditStep(const EditStep&) = delete;
    EditStep& operator=(const EditStep&) = delete;

    // What the step did, as the Edit menu names it after "Undo " ("Air attack of 3 Tiger I").
    const std::string& text() const { return text_; }
    // What it changed, value by value ("3 Tiger I, Air attack: 5 -> 7", one line each) when it
    // changed at most kStepDetailValues values, else their number; empty when not told.
    const std::string& details() const { return details_; }
    void setDetails(std::string details) { details_ = std::move(details); }
    bool touches(ChangeKind kind) const { return kind == ChangeKind::Data ? data_ : names_; }
    Patch& patch() { return patch_; }
    const Patch& patch() const { return patch_; }

  private:
    std::string text_;
    std::string details_;
    Patch patch_;
    bool data_;
    bool names_;
};

class EditHistory {
  public:
    // Appends a done step. The undone steps after the position are dropped; a clean point among
    // them can no longer be reached.
    void push(std::unique_ptr<EditStep> step);
    // The step undo (or redo) would take, or nullptr.
    EditStep* undoStep() const { return index_ > 0 ? steps_[index_ - 1].get() : nullptr; }
    EditStep* redoStep() const { return index_ < steps_.size() ? steps_[index_].get() : nullptr; }
    // Moves the position one step back or forward (after the step was undone or redone).
    void stepBack();
    void stepForward();

    std::size_t count() const { return steps_.size(); }
    std::size_t index() const { return index_; }
    const EditStep& step(std::size_t i) const { return *steps_[i]; }

    // Forgets every step; the table as it stands is clean for each file whose flag is false.
    void reset(bool dataModified = false, bool namesModified = false);
    // The table as it stands is what the file holds (a save, or a reload of the file).
    void markClean(ChangeKind kind);
    // The table as it stands differs from the file without a step (a code fixed at load).
    void markModified(ChangeKind kind);
    // Whether the table differs from the file: a clean point that cannot be reached, or a step
    // touching the file between the clean point and the position.
    bool modified(ChangeKind kind) const;
    // Whether the clean point lies among the steps undone (redo would reach it).
    bool cleanAhead(ChangeKind kind) const {
        return clean(kind) == kAhead || clean(kind) > static_cast<std::ptrdiff_t>(index_);
    }
    // After a restore that has the table but not the undone steps: the clean point lies among
    // steps this history does not hold; `modified` says what they made of the file. The next
    // step drops them, and the clean point with them.
    void markCleanAhead(ChangeKind kind, bool modified) {
        clean(kind) = kAhead;
        aheadModified_[kind == ChangeKind::Data ? 0 : 1] = modified;
    }

  private:
    static constexpr std::ptrdiff_t kUnreachable = -1;
    static constexpr std::ptrdiff_t kAhead = -2;
    bool aheadModified_[2] = {false, false};
    std::ptrdiff_t& clean(ChangeKind kind) { return clean_[kind == ChangeKind::Data ? 0 : 1]; }
    std::ptrdiff_t clean(ChangeKind kind) const { return clean_[kind == ChangeKind::Data ? 0 : 1]; }

    std::vector<std::unique_ptr<EditStep>> steps_;
    std::size_t index_ = 0;
    std::ptrdiff_t clean_[2] = {0, 0};
};

} // namespace varnel
