#include "tarviodeploy/installer/ui/screens/screenid.h"

namespace Tarvio {

const EnumNameTable<ScreenId, screenCount> screenIdNames({
    {ScreenId::welcome, L"welcome"},
    {ScreenId::installationType, L"installationType"},
    {ScreenId::options, L"options"},
    {ScreenId::installation, L"installation"},
    {ScreenId::summary, L"summary"},
});

} // namespace Tarvio
