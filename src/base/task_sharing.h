#pragma once

#include <cstddef>
#include <functional>

namespace tessarin {

// Every thread the program shares work with comes from one pool, started on first use and
// kept until the program ends: CoreCount() - 1 threads, which with the thread that hands out
// the work make one thread a core.

// The number of threads worth running: the machine's cores, at least 1.
unsigned CoreCount();

// Runs task(0) to task(count - 1), each once, on up to maxThreads threads, this one among them,
// handing out the next index to whichever thread comes free. Returns when all have run. A task
// may share tasks of its own: the threads at work still never outnumber the pool and the
// callers. A task that throws (out of memory, say) stops further tasks from starting; once
// every thread is done, the first exception thrown is thrown again here.
void ShareTasks(std::size_t count, unsigned maxThreads,
                const std::function<void(std::size_t)>& task);

// Runs job on a pool thread once one is free, or here before returning when the pool has no
// thread (one core, or none could be started). The job reports its own failures: an exception
// that escapes it is dropped, where on a thread of its own it would end the program. Throws
// std::bad_alloc, having run nothing, when the job cannot be queued.
void RunInBackground(std::function<void()> job);

}  // namespace tessarin
