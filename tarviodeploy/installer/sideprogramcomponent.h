#pragma once

#include "tarviodeploy/shared/component.h"
#include "tarviodeploy/shared/legacyinstallation.h"
#include "tarviolib/core/array.h"
#include "tarviolib/core/result.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// One of the renderer's side programs, by default in the product folder: only copied, never run.
// Its installation is blocked while one of its programs runs, and it clears away what the previous
// installer generation left of it.
class SideProgramComponent : public Component {
public:
    void removeLegacyInstallation() override;
    // The component's name when one of its running programs runs.
    PrerequisiteIssues checkPrerequisites() const override;

protected:
    // runningPrograms are tested in order; legacy is null when the previous generation left
    // nothing of this program.
    SideProgramComponent(bool selected, Array<String> runningPrograms, const LegacySideProgram* legacy);

    // A program file from the payload's root into the component folder, recorded in its entry.
    static Result<Io::Path> installProgram(IInstallContext& context, const wchar_t* name, const wchar_t* payloadName);

private:
    Array<String> mRunningPrograms;
    const LegacySideProgram* mLegacy;
};

} // namespace Tarvio
