// The whole run of tolvaran, stage after stage, with the scan's searches made by the
// given engine. tolvaran's main passes the fast engine; test tools pass others and so
// run exactly the same stages.
#pragma once

#include "scan.h"

[[noreturn]] void RUN_TOLVARAN(int argc, char** argv, SearchEngine engine);
