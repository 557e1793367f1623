#pragma once
// The designer's undo and redo: each change first records a snapshot of what
// the designer can change (the pages with their objects, the dictionary, the
// report options), and undoing puts a snapshot back. Objects are kept as their
// records, so a snapshot is a copy that no later change can reach.

#include "template/TfrDataDictionary.h"
#include "template/TfrView.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace mirel::tmpl {
class TfrReport;
}

namespace mirel::engine::ui {

inline bool operator==(const tmpl::TfrDataDictionary& a, const tmpl::TfrDataDictionary& b) {
    return a.Variables == b.Variables && a.FieldAliases == b.FieldAliases && a.BandDataSources == b.BandDataSources;
}

class DesignerSnapshot {
public:
    static DesignerSnapshot Take(const tmpl::TfrReport& report);
    // Replaces the report's pages, objects, dictionary and options by the
    // snapshot's. The paper of each page is kept as recorded (it was what the
    // printer provided when the snapshot was taken).
    void Restore(tmpl::TfrReport& report) const;

    // The same template (the selection kept with it does not count).
    bool operator==(const DesignerSnapshot& other) const {
        return m_pages == other.m_pages && m_dictionary == other.m_dictionary && m_options == other.m_options;
    }

    // The names of the objects selected when the snapshot was taken, selected
    // again when it is restored.
    const std::vector<AnsiString>& SelectedNames() const { return m_selected; }
    void SetSelectedNames(std::vector<AnsiString> names) { m_selected = std::move(names); }

private:
    struct Options {
        bool printToDefault = false;
        bool doublePass = false;
        AnsiString comment, reportName, author, vMajor, vMinor, vRelease, vBuild, password;
        std::uint8_t passwordProtected = 0;
        bool operator==(const Options&) const = default;
    };

    std::string m_pages;   // page records, each followed by its objects' records
    tmpl::TfrDataDictionary m_dictionary;
    Options m_options;
    std::vector<AnsiString> m_selected;
};

class DesignerUndoStack {
public:
    // The oldest steps are dropped past this many.
    static constexpr std::size_t kLimit = 200;

    // Records the state before a change; the redo steps are dropped.
    void Push(DesignerSnapshot before);
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The state to go back to; `current` becomes the first redo step.
    std::optional<DesignerSnapshot> Undo(DesignerSnapshot current);
    std::optional<DesignerSnapshot> Redo(DesignerSnapshot current);
    void Clear();
    // Forgets the last step (an editor that made its undo point and was then
    // cancelled); the redo steps stay gone.
    void DropLast() {
        if (!m_undo.empty())
            m_undo.pop_back();
    }

    std::size_t UndoCount() const { return m_undo.size(); }
    std::size_t RedoCount() const { return m_redo.size(); }

private:
    std::deque<DesignerSnapshot> m_undo;
    std::vector<DesignerSnapshot> m_redo;
};

} // namespace mirel::engine::ui
