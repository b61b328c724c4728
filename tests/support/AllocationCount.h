#pragma once

// Blocks the calling thread has taken by operator new so far. A check that
// work stays small counts these where its cost is the heap's: Wine's heap
// serves thousands of blocks slowly, and the count, unlike the time, does
// not depend on how busy the machine is.
long long threadAllocations();
// Of those, the blocks beyond 256 bytes: Wine's heap keeps no list of free
// blocks of each such size, and finds one by searching a list that blocks
// too small for it can make long.
long long threadLargeAllocations();
