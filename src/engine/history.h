// The change history: every operation that changes the system leaves one
// entry, two plain files under the user's application-data folder
// (Marrowby\Kestrelkit\History): a text a person can read, with each row's
// state before and after, and a REGEDIT4 file that puts back the registry
// values the panel replaced. The newest entries are kept.
#pragma once
#include "engine/apply_engine.h"
#include "engine/registry_journal.h"

#include <string>
#include <vector>

namespace kk {

inline constexpr int kHistoryKept = 100;

struct HistoryRow {
    int toolId = 0;
    std::string caption, before, after;
};

struct HistoryEntry {
    std::string id;  // the files' name without extension; newer sorts later
    std::string time, operation;
    std::vector<HistoryRow> rows;
    std::string changes;  // one line per registry change
};

// A text on one line: backslash, NUL, tab, CR and LF as \\, \0, \t, \r
// and \n (states hold NULs and tabs). UnescapeText is false on a broken escape.
std::string EscapeText(const std::string& text);
bool UnescapeText(const std::string& text, std::string& plain);

// A whole file: written anew (false when it could not be), or read ("" when
// it cannot be).
bool WriteWholeFile(const std::string& path, const std::string& text);
std::string ReadWholeFile(const std::string& path);

// The folder with a trailing backslash; "" when the user has no
// application-data folder.
std::string HistoryFolder();

// Writes the entry's two files and drops the oldest beyond kHistoryKept;
// false when they could not be written. Sets entry.id.
bool SaveHistoryEntry(HistoryEntry& entry, const RegistryJournal& journal);

// Every entry the folder holds, newest first; files that are not entries
// are passed over.
std::vector<HistoryEntry> ReadHistory();

// Reads one entry's text; false, with the line it stopped at in error,
// when the text is not a whole entry.
bool ParseHistoryEntry(const std::string& text, HistoryEntry& entry, std::string& error);
std::string FormatHistoryEntry(const HistoryEntry& entry);

// What undoing the entry applies: each row's state before, newest row first.
std::vector<ToolState> UndoStates(const HistoryEntry& entry);

// Undoes an entry as one new entry, "Undo": each row back to its state
// before through the engine (a tool switched on is switched off the way the
// engine does it), the DLLs the entry registered unregistered, and the
// values the panel replaced put back from the entry's restore script.
void UndoHistoryEntry(const HistoryEntry& entry, RowAccess& rows);

// A tool's state as the registry holds it now, read without touching
// anything (the details and hotkeys working copies included).
std::string DetectQuietly(int toolId);

// The caption of a ToolId's row in this start's list; "" when unknown.
std::string ToolCaption(int toolId);

// Records one operation: while it lives the registry layer's changes go
// into its journal; Save writes the entry when anything changed. A history
// that cannot be written stops nothing: the user is told once per start.
// In a dry run Save writes nothing and hands the changes to the journal
// that was active before, the preview's.
class HistoryRecording {
public:
    explicit HistoryRecording(const std::string& operation);
    void Row(int toolId, const std::string& before, const std::string& after);
    void Save();
    const RegistryJournal& Journal() const { return journal_; }

private:
    RegistryJournal journal_;
    JournalScope scope_;
    HistoryEntry entry_;
    bool saved_ = false;
};

}  // namespace kk
