#pragma once

#include <cstddef>
#include <functional>

namespace tessarin {

// The number of threads worth running: the machine's cores, at least 1.
unsigned CoreCount();

// Runs task(0) to task(count - 1), each once, on up to maxThreads threads, this one among them,
// handing out the next index to whichever thread comes free. Returns when all have run. A task
// that throws (out of memory, say) stops further tasks from starting; once every thread is
// done, the first exception thrown is thrown again here.
void ShareTasks(std::size_t count, unsigned maxThreads,
                const std::function<void(std::size_t)>& task);

}  // namespace tessarin
