#include "tarviodeploy/shared/operationresult.h"

namespace Tarvio {

const EnumNameTable<OperationResult, 3> operationResultNames({
    {OperationResult::Done, L"done"},
    {OperationResult::Warnings, L"warnings"},
    {OperationResult::Failed, L"failed"},
});

} // namespace Tarvio
