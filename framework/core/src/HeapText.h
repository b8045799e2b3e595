// Private copies of texts on the shared heap.
#pragma once

// A copy of text on the shared heap, or null when text is null or the copy
// cannot be made. Freed with Orvane_free.
char* CopyTextToHeap(const char* text);
