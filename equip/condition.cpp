#include "equip/condition.h"

#include "base/format.h"
#include "base/numbers.h"

#include <cstring>
#include <limits>
#include <optional>

namespace varnel {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

bool equalFolded(std::string_view text, std::string_view lowered) {
    if (text.size() != lowered.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (lowerAscii(text[i]) != lowered[i])
            return false;
    return true;
}

bool containsFolded(std::string_view text, std::string_view lowered) {
    if (lowered.empty())
        return true;
    if (lowered.size() > text.size())
        return false;
    for (std::size_t i = 0; i + lowered.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < lowered.size() && lowerAscii(text[i + k]) == lowered[k])
            ++k;
        if (k == lowered.size())
            return true;
    }
    return false;
}

bool isTextKind(const FieldDef& field) {
    return IsTextField(field);
}

bool isListKind(const FieldDef& field) {
    return field.kind == FieldKind::Month || field.kind == FieldKind::Vocabulary ||
           field.kind == FieldKind::Country;
}

bool isCheckKind(const FieldDef& field) {
    return field.kind == FieldKind::Switch || field.kind == FieldKind::Bit;
}

const char* opText(ConditionOp op) {
    switch (op) {
    case ConditionOp::Equal:
        return "=";
    case ConditionOp::NotEqual:
        return "!=";
    case ConditionOp::Less:
        return "<";
    case ConditionOp::LessEqual:
        return "<=";
    case ConditionOp::Greater:
        return ">";
    case ConditionOp::GreaterEqual:
        return ">=";
    case ConditionOp::Contains:
        return "contains";
    }
    return "";
}

template <class T> bool compare(ConditionOp op, T a, T b) {
    switch (op) {
    case ConditionOp::Equal:
        return a == b;
    case ConditionOp::NotEqual:
        return a != b;
    case ConditionOp::Less:
        return a < b;
    case ConditionOp::LessEqual:
        return a <= b;
    case ConditionOp::Greater:
        return a > b;
    case ConditionOp::GreaterEqual:
        return a >= b;
    case ConditionOp::Contains:
        return false;
    }
    return false;
}

int storedOf(const Pg2Unit& unit, const FieldDef& field) {
    return Pg2StoredValue(unit, field);
}
int storedOf(const PegUnit& unit, const FieldDef& field) {
    return PegStoredValue(unit, field);
}

// The icon's bytes up to the first NUL.
template <class Unit> std::string_view iconOf(const Unit& unit, const FieldDef& field) {
    const char* bytes = reinterpret_cast<const char*>(unit.record.bytes.data()) + field.offset;
    const auto width = static_cast<std::size_t>(field.maxShown);
    const void* nul = std::memchr(bytes, 0, width);
    return std::string_view(bytes, nul != nullptr ? static_cast<const char*>(nul) - bytes : width);
}

} // namespace

// Recursive descent over the text; the first fault ends the parse.
class ConditionParser {
  public:
    ConditionParser(Game game, std::string_view text, const NameTable* countries)
        : game_(game), text_(text), countries_(countries) {
        out_.game_ = game;
    }

    ConditionParse run() {
        ConditionParse result;
        skipBlanks();
        if (pos_ == text_.size())
            return result; // empty: everything
        const std::optional<std::uint32_t> root = parseOr(0);
        if (root && failed_.empty()) {
            skipBlanks();
            if (pos_ < text_.size()) {
                if (text_[pos_] == ')')
                    fail(pos_, "Unmatched \")\"");
                else
                    fail(pos_, Format("Expected \"and\" or \"or\" before \"%s\"",
                                      std::string(shownWord(pos_)).c_str()));
            }
        }
        if (!failed_.empty()) {
            result.ok = false;
            result.position = failedAt_;
            result.reason = failed_;
            return result;
        }
        // The root is pushed last by construction.
        result.condition = std::move(out_);
        return result;
    }

  private:
    void fail(std::size_t at, std::string reason) {
        if (failed_.empty()) {
            failedAt_ = at;
            failed_ = std::move(reason);
        }
    }

    void skipBlanks() {
        while (pos_ < text_.size() && isSpace(text_[pos_]))
            ++pos_;
    }

    // Whether the keyword (lower case) stands at `at` as a word of its own.
    bool keywordAt(std::size_t at, const char* word) const {
        const std::size_t n = std::strlen(word);
        if (text_.size() - at < n)
            return false;
        for (std::size_t i = 0; i < n; ++i)
            if (lowerAscii(text_[at + i]) != word[i])
                return false;
        return at + n == text_.size() || !isWordChar(text_[at + n]);
    }

    bool takeKeyword(const char* word) {
        skipBlanks();
        if (pos_ < text_.size() && keywordAt(pos_, word)) {
            pos_ += std::strlen(word);
            return true;
        }
        return false;
    }

    // The word at `at` for a message, cut short.
    std::string_view shownWord(std::size_t at) const {
        std::size_t end = at;
        while (end < text_.size() && !isSpace(text_[end]) && end - at < 20)
            ++end;
        return text_.substr(at, std::max<std::size_t>(end - at, 1));
    }

    std::uint32_t push(Condition::Node node) {
        out_.nodes_.push_back(node);
        return static_cast<std::uint32_t>(out_.nodes_.size() - 1);
    }

    std::uint32_t group(Condition::NodeKind kind, const std::vector<std::uint32_t>& parts) {
        if (parts.size() == 1)
            return parts.front();
        Condition::Node node;
        node.kind = kind;
        node.first = static_cast<std::uint32_t>(out_.children_.size());
        node.count = static_cast<std::uint32_t>(parts.size());
        out_.children_.insert(out_.children_.end(), parts.begin(), parts.end());
        return push(node);
    }

    std::optional<std::uint32_t> parseOr(int depth) {
        std::vector<std::uint32_t> parts;
        do {
            const auto part = parseAnd(depth);
            if (!part)
                return std::nullopt;
            parts.push_back(*part);
        } while (takeKeyword("or"));
        return group(Condition::NodeKind::Or, parts);
    }

    std::optional<std::uint32_t> parseAnd(int depth) {
        std::vector<std::uint32_t> parts;
        do {
            const auto part = parsePart(depth);
            if (!part)
                return std::nullopt;
            parts.push_back(*part);
        } while (takeKeyword("and"));
        return group(Condition::NodeKind::And, parts);
    }

    std::optional<std::uint32_t> parsePart(int depth) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '(') {
            const std::size_t open = pos_++;
            if (depth + 1 > kMaxConditionDepth) {
                fail(open,
                     Format("More than %d parentheses inside each other", kMaxConditionDepth));
                return std::nullopt;
            }
            const auto inner = parseOr(depth + 1);
            if (!inner)
                return std::nullopt;
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != ')') {
                fail(pos_, Format("Missing \")\" for the \"(\" at %zu", open));
                return std::nullopt;
            }
            ++pos_;
            return inner;
        }
        return parseComparison();
    }

    // A text in double quotes starting at pos_; a doubled quote stands for one.
    std::optional<std::string> quoted() {
        const std::size_t open = pos_++;
        std::string out;
        while (pos_ < text_.size()) {
            if (text_[pos_] == '"') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
                    out += '"';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return out;
            }
            out += text_[pos_++];
        }
        fail(open, "Missing the closing \" of the text that starts here");
        return std::nullopt;
    }

    std::optional<std::uint32_t> parseComparison() {
        skipBlanks();
        const std::size_t columnAt = pos_;
        std::string column;
        if (pos_ < text_.size() && text_[pos_] == '"') {
            auto q = quoted();
            if (!q)
                return std::nullopt;
            column = std::move(*q);
        } else {
            while (pos_ < text_.size() && !isSpace(text_[pos_]) &&
                   std::strchr("()\"=!<>", text_[pos_]) == nullptr)
                column += text_[pos_++];
        }
        if (column.empty() && (pos_ == columnAt)) {
            fail(columnAt, pos_ < text_.size() ? Format("Expected a column name before \"%s\"",
                                                        std::string(shownWord(pos_)).c_str())
                                               : std::string("Expected a column name"));
            return std::nullopt;
        }
        const FieldDef* field = FindColumn(game_, column);
        if (field == nullptr) {
            fail(columnAt, Format("Unknown column \"%s\"", column.c_str()));
            return std::nullopt;
        }
        const std::string label = field->label;

        skipBlanks();
        const std::size_t opAt = pos_;
        std::optional<ConditionOp> op;
        const std::string_view rest = text_.substr(pos_);
        if (rest.starts_with("<="))
            op = ConditionOp::LessEqual;
        else if (rest.starts_with(">="))
            op = ConditionOp::GreaterEqual;
        else if (rest.starts_with("!="))
            op = ConditionOp::NotEqual;
        else if (rest.starts_with("<"))
            op = ConditionOp::Less;
        else if (rest.starts_with(">"))
            op = ConditionOp::Greater;
        else if (rest.starts_with("="))
            op = ConditionOp::Equal;
        else if (keywordAt(pos_, "contains"))
            op = ConditionOp::Contains;
        if (!op) {
            fail(opAt, Format("Expected an operator (=, !=, <, <=, >, >=, contains) after %s",
                              label.c_str()));
            return std::nullopt;
        }
        pos_ += std::strlen(opText(*op));

        skipBlanks();
        const std::size_t valueAt = pos_;
        std::string value;
        if (pos_ < text_.size() && text_[pos_] == '"') {
            auto q = quoted();
            if (!q)
                return std::nullopt;
            value = std::move(*q);
        } else {
            // Words up to the next keyword or parenthesis, one blank between them; a number is
            // one word, so that a missing "and" is reported as such.
            const bool words = isTextKind(*field) || isListKind(*field);
            while (pos_ < text_.size() && !keywordAt(pos_, "and") && !keywordAt(pos_, "or")) {
                const std::size_t start = pos_;
                while (pos_ < text_.size() && !isSpace(text_[pos_]) &&
                       std::strchr("()\"", text_[pos_]) == nullptr)
                    ++pos_;
                if (pos_ == start)
                    break;
                if (!value.empty())
                    value += ' ';
                value.append(text_.substr(start, pos_ - start));
                const std::size_t wordEnd = pos_;
                skipBlanks();
                if (words && pos_ < text_.size() && !keywordAt(pos_, "and") &&
                    !keywordAt(pos_, "or") && std::strchr("()\"", text_[pos_]) == nullptr)
                    continue;
                pos_ = wordEnd;
                break;
            }
            if (value.empty()) {
                fail(valueAt, Format("Expected a value after \"%s\"", opText(*op)));
                return std::nullopt;
            }
        }

        Condition::Test test;
        test.field = field;
        test.op = *op;
        if (!interpret(test, value, label, opAt, valueAt))
            return std::nullopt;
        out_.tests_.push_back(std::move(test));
        Condition::Node node;
        node.kind = Condition::NodeKind::Test;
        node.test = static_cast<std::uint32_t>(out_.tests_.size() - 1);
        return push(node);
    }

    // Turns the value's text into what the test compares with; false after a fault.
    bool interpret(Condition::Test& test, const std::string& value, const std::string& label,
                   std::size_t opAt, std::size_t valueAt) {
        const FieldDef& field = *test.field;
        if (isTextKind(field)) {
            if (test.op != ConditionOp::Equal && test.op != ConditionOp::NotEqual &&
                test.op != ConditionOp::Contains) {
                fail(opAt, Format("%s is a text: compare it with =, != or contains, not \"%s\"",
                                  label.c_str(), opText(test.op)));
                return false;
            }
            test.text = lowerText(value);
            return true;
        }
        if (test.op == ConditionOp::Contains) {
            fail(opAt, Format("\"contains\" is for texts (names, icons); %s is not a text",
                              label.c_str()));
            return false;
        }
        const std::optional<int> number = ParseInteger(value);
        if (isCheckKind(field)) {
            if (!number || (*number != 0 && *number != 1)) {
                fail(valueAt, Format("%s is a check box: expected 0 or 1, not \"%s\"",
                                     label.c_str(), value.c_str()));
                return false;
            }
            test.number = *number;
            return true;
        }
        if (isListKind(field)) {
            if (number) {
                test.number = *number;
                return true;
            }
            // An item's words or the item as the list shows it, as the table takes them.
            std::optional<int> position;
            if (const ParsedValue item = ParseValue(field, value, FieldStyle::Cell, countries_);
                item.ok)
                position = item.value.stored;
            if (!position) {
                fail(valueAt, Format("\"%s\" is not an item of %s", value.c_str(), label.c_str()));
                return false;
            }
            test.number = *position;
            return true;
        }
        if (!number) {
            fail(valueAt,
                 Format("%s holds numbers: \"%s\" is not a number", label.c_str(), value.c_str()));
            return false;
        }
        test.number = *number;
        return true;
    }

    Game game_;
    std::string_view text_;
    const NameTable* countries_;
    std::size_t pos_ = 0;
    Condition out_;
    std::string failed_;
    std::size_t failedAt_ = 0;
};

ConditionParse ParseCondition(Game game, std::string_view text, const NameTable* countries) {
    return ConditionParser(game, text, countries).run();
}

template <class Table>
bool Condition::test(const Table& table, std::size_t index, const Test& t) const {
    const auto& unit = table.units[index];
    switch (t.field->kind) {
    case FieldKind::Name:
        return t.op == ConditionOp::Contains
                   ? containsFolded(table.name(index), t.text)
                   : equalFolded(table.name(index), t.text) == (t.op == ConditionOp::Equal);
    case FieldKind::Icon: {
        const std::string_view icon = iconOf(unit, *t.field);
        return t.op == ConditionOp::Contains
                   ? containsFolded(icon, t.text)
                   : equalFolded(icon, t.text) == (t.op == ConditionOp::Equal);
    }
    default:
        return compare<std::int64_t>(t.op, ShownValue(*t.field, storedOf(unit, *t.field)),
                                     t.number);
    }
}

template <class Table>
bool Condition::eval(const Table& table, std::size_t index, std::uint32_t node) const {
    const Node& n = nodes_[node];
    switch (n.kind) {
    case NodeKind::Test:
        return test(table, index, tests_[n.test]);
    case NodeKind::And:
        for (std::uint32_t k = 0; k < n.count; ++k)
            if (!eval(table, index, children_[n.first + k]))
                return false;
        return true;
    case NodeKind::Or:
        for (std::uint32_t k = 0; k < n.count; ++k)
            if (eval(table, index, children_[n.first + k]))
                return true;
        return false;
    }
    return false;
}

bool Condition::matches(const Pg2UnitTable& table, std::size_t index) const {
    if (nodes_.empty())
        return true;
    if (game_ != Game::Pg2)
        return false;
    return eval(table, index, static_cast<std::uint32_t>(nodes_.size() - 1));
}

bool Condition::matches(const PegUnitTable& table, std::size_t index) const {
    if (nodes_.empty())
        return true;
    if (game_ != Game::Peg)
        return false;
    return eval(table, index, static_cast<std::uint32_t>(nodes_.size() - 1));
}

template <class Table>
std::vector<int> MatchingUnits(const Table& table, const Condition& condition) {
    std::vector<int> out;
    out.reserve(table.count());
    for (std::size_t i = 0; i < table.count(); ++i)
        if (condition.matches(table, i))
            out.push_back(static_cast<int>(i));
    return out;
}

template <class Table>
std::vector<int> MatchingUnits(const Table& table, const Condition& condition,
                               const std::vector<int>& units) {
    std::vector<int> out;
    out.reserve(units.size());
    for (const int i : units)
        if (i >= 0 && static_cast<std::size_t>(i) < table.count() &&
            condition.matches(table, static_cast<std::size_t>(i)))
            out.push_back(i);
    return out;
}

template std::vector<int> MatchingUnits(const Pg2UnitTable&, const Condition&);
template std::vector<int> MatchingUnits(const PegUnitTable&, const Condition&);
template std::vector<int> MatchingUnits(const Pg2UnitTable&, const Condition&,
                                        const std::vector<int>&);
template std::vector<int> MatchingUnits(const PegUnitTable&, const Condition&,
                                        const std::vector<int>&);

} // namespace varnel
