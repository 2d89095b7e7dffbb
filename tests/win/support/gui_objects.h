// Counts of the process's GDI objects and of the windows of this thread, for
// tests that prove nothing is leaked.
#ifndef ZRONDEL_TESTS_GUI_OBJECTS_H
#define ZRONDEL_TESTS_GUI_OBJECTS_H

// Live GDI objects (brushes, pens, fonts, regions, DCs, bitmaps; an icon
// holds bitmaps of its own).
unsigned CountGdiObjects();
// Windows of this thread, top-level and child, hidden ones included.
unsigned CountThreadWindows();

#endif
