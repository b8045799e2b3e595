// The process-wide chain of live talkers and the recursive lock that guards
// it (construction, destruction and RemoveAllDependantsToThis take it).
#pragma once

#include "qlxrapi/VariableBlock.h"

// Created on first use, at the latest when the library loads; never destroyed,
// because talkers of other modules may go away during the process's exit.
Variable_Block& TalkerChainLock();
