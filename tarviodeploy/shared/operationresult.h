#pragma once

#include "tarviolib/core/enumnametable.h"

#include <cstdint>

namespace Tarvio {

// The severity of an operation, a component or a whole run; it only rises.
enum class OperationResult : int32_t { Done = 0, Warnings = 1, Failed = 2 };

// "done", "warnings", "failed".
extern const EnumNameTable<OperationResult, 3> operationResultNames;

inline OperationResult worse(OperationResult a, OperationResult b) { return a < b ? b : a; }

} // namespace Tarvio
