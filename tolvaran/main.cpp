// tolvaran: moving-window period scanner, with the fast search engine.
#include "engine.h"
#include "program.h"

int main(int argc, char** argv) { RUN_TOLVARAN(argc, argv, SEARCH_FAST_SCAN); }
