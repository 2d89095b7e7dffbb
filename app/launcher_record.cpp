#include "app/launcher_record.h"

Launcher launcher;

const char kRingWindowTitle[] = "Ta[V]en Software [Z] Rondel";
