// The preferences in the per-user store, QSettings("Korvalinth",
// "Korvalinth"), with the sections, keys and defaults of the program.
// "query_save" and "format_output" are read afresh at every use; the digit
// count and the toolbar flag are copied at start-up and after the dialog.
#pragma once

#include "doc/Settings.h"

namespace kv {

class SettingsStore {
  public:
    Settings load() const;
    void save(const Settings& settings) const;

    bool querySave() const;
    bool formatOutput() const;
};

}  // namespace kv
