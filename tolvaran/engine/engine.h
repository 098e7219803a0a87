// The fast search engine: the same DeltaLogLik as SEARCH_REFERENCE, to the float bit,
// from many searches run side by side in vector lanes on every core.
#pragma once

#include <cstdint>

#include "search.h"

enum EngineKind { ENGINE_PORTABLE = 0, ENGINE_AVX2 = 1, ENGINE_AVX512 = 2 };

// Whether the kind is compiled in and the running processor (and its operating system)
// supports the instructions it needs. ENGINE_PORTABLE is always supported.
bool ENGINE_SUPPORTED(EngineKind kind);

// The fastest supported kind; chosen once, from the processor's features.
EngineKind ENGINE_BEST();

// std::thread::hardware_concurrency(), at least 1.
int ENGINE_THREADS();

// Same contract as SEARCH_REFERENCE: DeltaLogLik[(m - 1) * nPeriods + (p - 1)] receives
// exactly the float FIND_AFI gives, whatever the kind and the thread count. progress(m, p)
// is called from the calling thread only, in scan order, once (m, p) and every search
// before it are done. Work storage is obtained before any search starts: if it cannot be,
// std::bad_alloc is thrown and DeltaLogLik is untouched. An unsupported kind falls back
// to ENGINE_PORTABLE; nThreads below 1 counts as 1. An exception thrown by progress stops
// the workers and reaches the caller once they have ended.
void SEARCH_FAST(const SearchPlan& plan, float* DeltaLogLik, ProgressFn progress, EngineKind kind,
                 int nThreads);

// The scan's search engine (the SearchEngine of scan.h): SEARCH_FAST with ENGINE_BEST()
// on ENGINE_THREADS() threads; WindowTimes is not needed. Work storage that cannot be
// obtained reaches the scan as std::bad_alloc.
void SEARCH_FAST_SCAN(const SearchPlan& plan, float* DeltaLogLik, float* WindowTimes, ProgressFn progress);
