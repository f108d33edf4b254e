// The editor's state as the main window owns it: the program-wide state and
// the dictionary table.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

namespace vexlon {

struct Editor {
    ProgramState state;
    DictionaryTable table;
};

} // namespace vexlon
