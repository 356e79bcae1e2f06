#pragma once

// Keeps the large buffers the log box grows and compacts under a flood in
// memory the process already holds. By default the C library hands a freed
// buffer of a few megabytes straight back to the system and maps the next
// one afresh, so every growth or compaction of the log box's text (each a
// copy of several megabytes) also pays a page fault per 4 KiB: tens of
// milliseconds in one turn of the event loop. Call once, before the first
// allocation that matters (at the start of main). Does nothing where the C
// library offers no such setting.
void keepLargeBuffersResident();
