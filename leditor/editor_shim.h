// The one system service the editor's text logic needs, so that it builds
// and is tested natively.
#ifndef ZRONDEL_LEDITOR_EDITOR_SHIM_H
#define ZRONDEL_LEDITOR_EDITOR_SHIM_H

// True for the system's letters and digits in the ANSI code page; blanks,
// punctuation and control bytes separate words.
bool IsWordCharacter(char byte);

#endif
