// The preview: Apply run dry over the list's rows, so its list of registry
// writes and actions can be shown before anything happens.
#pragma once
#include "engine/apply_engine.h"
#include "engine/registry_journal.h"

namespace kk {

// What Apply would do with the rows' pending changes, in the order it would
// do it. Neither the registry, nor the system, nor the rows change.
RegistryJournal PreviewChanges(RowAccess& rows);

}  // namespace kk
