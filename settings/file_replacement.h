#pragma once

// Giving a file in the current directory new bytes so that it holds all of its old bytes or all
// of the new ones at every moment, a crash or a power cut included, wherever the one rename that
// this takes is allowed. Names are relative to the current directory, so the folder's own name
// may hold any characters.
#include <windows.h>

#include <string>

// Deletes the temporary files, NAME.XXXX.tmp with four hexadecimal digits, that an interrupted
// earlier replacement left beside the file, each tried once: one that another program holds
// open, such as a replacement under way, stays. Nothing else is touched.
void removeLeftoverTemporaries(const char* name);

// The new bytes go to a temporary file beside the file, with the hidden and system attributes
// that the file has (`attributes`), and are flushed to disk; one rename then puts them in its
// place. Where there was no file (`old` is null), the rename never replaces one that appeared
// meanwhile.
//
// Where the rename is refused, as when another program holds the file open without sharing its
// deletion, the file is overwritten where it stands if it can be opened for writing, and its old
// bytes are written back should that fail part way. That cannot be one step: while it runs, the
// complete new bytes are kept beside it as NAME.kept, or, where that name is taken (a copy is
// never overwritten), as the first free one of NAME.kept2, NAME.kept3 and so on; under their
// temporary name only where such a rename is refused. The copy goes once the overwrite has
// completed or been undone and the file has been flushed and closed; it stays where neither
// could be done, or where the flush or the close failed. Where no temporary file can be made,
// the file is overwritten in the same way, without a copy.
//
// Access denied and sharing violations are tried again, for about 150 ms at most per step.
void replaceFileContents(const char* name, const std::string& bytes, const std::string* old, DWORD attributes);
