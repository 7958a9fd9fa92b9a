#pragma once

#include "tarviodeploy/shared/component.h"
#include "tarviolib/core/result.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// A folder of data files from the payload, copied with its layout into the component folder.
// Belongs to no category, so it is installed in every installation.
class ContentBundleComponent : public Component {
public:
    void unpack(IInstallContext& context) override;

protected:
    ContentBundleComponent(const wchar_t* payloadFolder, const Result<Io::Path>& target);

private:
    const wchar_t* mPayloadFolder;
};

} // namespace Tarvio
