#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/enumnametable.h"
#include "tarviolib/core/flatmap.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

enum class PrerequisiteCategory : int32_t { RunningApplication = 0, General = 1 };

// In the order every user interface presents the categories.
extern const EnumNameTable<PrerequisiteCategory, 2> prerequisiteCategoryNames;

// The heading shown above a category's issues.
String prerequisiteCategoryText(PrerequisiteCategory category);

// Unmet prerequisites by category, each text one issue (such as a running program's name).
using PrerequisiteIssues = FlatMap<PrerequisiteCategory, Array<String>>;

// The issues as every user interface lists them: each category they hold, in the order of
// prerequisiteCategoryNames whatever the order of collection, with its texts in order.
void forEachIssueCategory(const PrerequisiteIssues& issues,
                          const Function<void(PrerequisiteCategory, const Array<String>&)>& list);

} // namespace Tarvio
