#pragma once

namespace Tarvio {

// Attaches to the console of the process that started this one; on success the standard streams
// that had nowhere to go write into it.
bool attachParentConsole();

// A new console for a run that has none.
bool allocateConsole();

// Lets go of the console: a process attached to one ends when that console window is closed.
void releaseConsole();

bool hasStandardOutput();

} // namespace Tarvio
