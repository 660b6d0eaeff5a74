// The editor's editing context and the commands that change it, apart from
// any window: which existing problem the next Add overwrites (the edit
// target) and which top-level problem receives the next new problem as a
// branch (the branch parent). The commands change the problem list and say
// what they did and what the problem label shows now; the window only
// reads and writes its fields, labels and dialogs.
//
// States: Fresh (neither set), Editing (target), Branching (parent), and
// Editing-in-branch (both). A parent is always a top-level problem; a
// target is a top-level problem or a direct branch of one.
#pragma once

#include "model/Problem.h"

#include <optional>
#include <string>
#include <vector>

// The problem label with nothing picked.
inline constexpr char kFreshProblemLabel[] = "編集中の問題:新規問題";

enum class EditChange {
    None,             // nothing to do: no kind, or no such line
    Appended,         // a new top-level problem at the end of the list
    AppendedBranch,   // a new branch at the end of the parent's branches
    Overwrote,        // the edit target's texts replaced
    RefusedOtherKind, // the edit target is of another kind: nothing changed
    Picked,           // a line chosen: its problem is the edit target
};

struct EditResult {
    EditChange change = EditChange::None;
    // The problem label's new text, when it changes.
    std::optional<std::string> problemLabel;
};

class EditingContext {
public:
    // Commits the texts of `kind`'s fields, in field order: overwrites the
    // target, or appends a branch under the parent, or appends a top-level
    // problem. A target of another kind refuses; so does no kind at all.
    EditResult add(int kind, TextList texts);

    // Add, after which the parent is the parent kept, or the target, or the
    // problem that this Add appended; also after a refusal.
    EditResult branch(int kind, TextList texts);

    // Back to Fresh.
    EditResult newProblem();

    // Picks the problem of a line of selectionLines(). A branch's parent
    // becomes the branch parent; picking a top-level problem keeps the one
    // there is.
    EditResult select(int line);

    // File New: an empty set, and Fresh.
    void newSet();

    // File Open: on success the set is the file's and the context is Fresh;
    // on failure nothing changes.
    bool open(std::string path);

    const ProblemPtr& editTarget() const { return target; }
    const ProblemPtr& branchParent() const { return parent; }

private:
    ProblemPtr target;
    ProblemPtr parent;
};

// The lines of the selection list, one per problem: each top-level problem
// (kind label and naming text), then its direct branches (a marker and the
// naming text). Line i is the i-th problem of that walk.
std::vector<std::string> selectionLines();
