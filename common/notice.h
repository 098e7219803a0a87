// The two-line notice both programs show right after their banner.
#pragma once

// Writes the two notice lines (70 characters each) as console messages.
void AU();
