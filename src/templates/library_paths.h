#pragma once

#include <QString>

// The template library lives in <base>/模板. Paths inside its index files are
// relative to that folder and use backslashes; they become local paths (with
// "/") only here, where a file or folder on disk is meant.

// <base>/模板, without a trailing "/".
QString TemplateRoot();

// True when relative, read from an index file or the template server, stays
// inside the library once it is made a local path: not empty, not absolute
// (no leading "\" or "/"), no drive letter, and no ".." part (either
// separator counts, since "/" separates folders here as well).
bool IsSafeLibraryPath(const QString& relative);

// root + "/" + relative with every backslash turned into "/". The caller
// checks relative with IsSafeLibraryPath first.
QString LibraryLocalPath(const QString& root, const QString& relative);
