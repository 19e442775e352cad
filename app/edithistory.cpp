#include "app/edithistory.h"

#include <algorithm>

namespace varnel {

void EditHistory::push(std::unique_ptr<EditStep> step) {
    steps_.resize(index_);
    for (ChangeKind kind : {ChangeKind::Data, ChangeKind::Names})
        if (clean(kind) > static_cast<std::ptrdiff_t>(index_) || clean(kind) == kAhead)
            clean(kind) = kUnreachable;
    steps_.push_back(std::move(step));
    ++index_;
}

void EditHistory::stepBack() {
    if (index_ > 0)
        --index_;
}

void EditHistory::stepForward() {
    if (index_ < steps_.size())
        ++index_;
}

void EditHistory::reset(bool dataModified, bool namesModified) {
    steps_.clear();
    index_ = 0;
    clean(ChangeKind::Data) = dataModified ? kUnreachable : 0;
    clean(ChangeKind::Names) = namesModified ? kUnreachable : 0;
}

void EditHistory::markClean(ChangeKind kind) {
    clean(kind) = static_cast<std::ptrdiff_t>(index_);
}

void EditHistory::markModified(ChangeKind kind) {
    clean(kind) = kUnreachable;
}

bool EditHistory::modified(ChangeKind kind) const {
    const std::ptrdiff_t point = clean(kind);
    if (point == kUnreachable)
        return true;
    if (point == kAhead)
        return aheadModified_[kind == ChangeKind::Data ? 0 : 1];
    const auto here = static_cast<std::size_t>(point);
    const std::size_t from = std::min(here, index_);
    const std::size_t to = std::max(here, index_);
    for (std::size_t i = from; i < to; ++i)
        if (steps_[i]->touches(kind))
            return true;
    return false;
}

} // namespace varnel
