// Heap allocation counts of the benchmark process.
#pragma once

// The calling thread is the game's thread from now on.
void AllocCountSetMainThread();
// Allocations (malloc, calloc, realloc, aligned forms; operator new goes through malloc) made so far by the
// game's thread, and by every other thread.
long AllocCountMain();
long AllocCountOther();
