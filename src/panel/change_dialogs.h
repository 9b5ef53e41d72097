// The preview and history dialogs of the main window: modal windows of the
// panel's own, built in code. The preview and an entry's details show their
// list in one read-only text view; the history lists the entries, newest
// first, and undoes one.
#pragma once
#include <windows.h>

#include "engine/apply_engine.h"
#include "engine/history.h"
#include "engine/registry_journal.h"

#include <functional>
#include <string>

namespace kk {

// Control IDs of both dialogs (docs/automation.md).
enum ChangeDialogId : int {
    kChangeText = 10,   // the read-only text view
    kChangeClose = 11,
    kChangeHelp = 12,
    kHistoryList = 20,
    kHistoryUndo = 21,
    kHistoryDetails = 22,
};

inline constexpr char kTextDialogClass[] = "KestrelkitChangeText";
inline constexpr char kHistoryDialogClass[] = "KestrelkitHistory";
inline constexpr char kPreviewTitle[] = "Preview changes";
inline constexpr char kHistoryTitle[] = "History";
inline constexpr char kDetailsTitle[] = "Details";

// The preview's text: every registry write and deletion and every action
// the journal lists, one a line.
std::string PreviewText(const RegistryJournal& preview);
// An entry's rows (caption, state before and after) and its raw changes.
std::string DetailsText(const HistoryEntry& entry);

// Shows text read-only, modally over owner, until Close or Esc.
void RunTextDialog(HWND owner, const std::string& title, const std::string& text, int helpTopic);

// What the history dialog needs of the main window.
struct HistoryHost {
    HWND owner = nullptr;
    RowAccess* rows = nullptr;
    bool changesPending = false;     // an Undo discards them: the question says so
    std::function<void()> onUndone;  // the window detects its rows again
};
void RunHistoryDialog(const HistoryHost& host);

}  // namespace kk
