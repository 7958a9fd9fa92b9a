#pragma once

namespace Tarvio {

// Attaches to the console of the process that started this one; on success the standard streams
// write into it.
bool attachParentConsole();

// A new console for a run that has none.
bool allocateConsole();

// Reopens the runtime's standard files on the console devices.
void reopenStandardStreams();

bool hasStandardOutput();

} // namespace Tarvio
