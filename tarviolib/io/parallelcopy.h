#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/stream.h"

#include <cstdint>

namespace Tarvio::Io {

// Copies size bytes, the same bytes from each source, in blocks of ReadAheadInputStream::BlockSize:
// worker w of n reads blocks w, w + n, w + 2n, ..., seeking its source to each, and hands each
// block to sink in its turn, in block order, on its own thread, so that the block is written
// while still in the cache of the processor that read it (a hand-over to another thread costs
// the block's trip through memory, as much again as the copy itself), while the others read
// on. The calling thread is worker 0; each worker holds one block. The first failure in block
// order, of a source (a block that comes back short included) or of sink, stops the copy and is
// thrown here, after every block before it went to sink. At most ReadAheadInputStream::MaxWorkers
// sources, and at least one unless size is 0.
// The sources worth copying size bytes from: one per two logical processors, at least one, at
// most ReadAheadInputStream::MaxWorkers and one per block. The writes take turns, so a few workers
// keep them busy; more only wait for their turn and, on a busy machine, are preempted holding it.
int32_t parallelCopyWorkerCount(int64_t size);

void copyInParallel(Array<UniquePtr<SeekableBinaryInputStream>> sources, int64_t size,
                    const Function<void(const uint8_t*, int64_t)>& sink);

} // namespace Tarvio::Io
