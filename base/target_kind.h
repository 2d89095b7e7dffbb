// What a slot's target names: a file or folder, a web link, or a place of
// the shell that has no path. Platform-free.
#ifndef ZRONDEL_BASE_TARGET_KIND_H
#define ZRONDEL_BASE_TARGET_KIND_H

enum TargetKind {
    TARGET_FILE,      // a path on a drive or a share
    TARGET_LINK,      // a scheme of two or more letters and a colon: https:, mailto:
    TARGET_SHELL_ITEM // a parsing name, "::{CLSID}...", or "shell:..."
};

TargetKind KindOfTarget(const char* target);

#endif
