#include "tarviodeploy/shared/deploymentprerequisites.h"

#include "tarviolib/core/stopreport.h"

namespace Tarvio {

const EnumNameTable<PrerequisiteCategory, 2> prerequisiteCategoryNames({
    {PrerequisiteCategory::RunningApplication, L"RunningApplication"},
    {PrerequisiteCategory::General, L"General"},
});

String prerequisiteCategoryText(PrerequisiteCategory category) {
    switch (category) {
    case PrerequisiteCategory::RunningApplication:
        return L"These applications appear to be running, you should close these applications before continuing";
    case PrerequisiteCategory::General:
        return L"These prerequisites need to be fulfilled in order to continue";
    }
    throwStop("tarviodeploy/shared/deploymentprerequisites", 32);
}

void forEachIssueCategory(const PrerequisiteIssues& issues,
                          const Function<void(PrerequisiteCategory, const Array<String>&)>& list) {
    for (const EnumNameEntry& category : prerequisiteCategoryNames) {
        for (const PrerequisiteIssues::Entry& entry : issues) {
            if (static_cast<int64_t>(entry.key) == category.value) {
                list(entry.key, entry.value);
            }
        }
    }
}

} // namespace Tarvio
