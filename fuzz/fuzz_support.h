#pragma once

// What every fuzz target shares. The set-up (LLVMFuzzerInitialize, defined
// with these helpers) runs once per process: Qt's image plugins and painter
// without a display, a scratch folder made the base folder, a throw-away
// profile, and a decoding limit a fuzzer can afford. A target defines only
// LLVMFuzzerTestOneInput.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// The most megabytes of pixels one decoded image may take in a fuzz run.
// The programs allow far more for camera photos; the check itself is the
// same code, and a fuzzer that allocated gigabytes per input would mostly
// measure the allocator.
constexpr int kFuzzDecodeLimitMb = 64;

// Inputs that stand for several files hold them one after another,
// separated by this line.
extern const char* const kPartSeparator; // "\n-----\n"

QByteArray InputBytes(const uint8_t* data, size_t size);
// Exactly count parts; missing ones are empty, the last takes the rest.
QList<QByteArray> SplitInput(const QByteArray& input, int count);

// <scratch>/<relative>; the scratch folder is the base folder.
QString ScratchPath(const QString& relative);
// Writes the file, creating its folder, and returns its path; empty when it
// cannot be written (a name the file system refuses, for one).
QString WriteScratch(const QString& relative, const QByteArray& bytes);
// Removes <scratch>/<relative> with everything in it.
void ClearScratch(const QString& relative);

// A finding of a target's own check: prints what was expected and aborts,
// so libFuzzer keeps the input like any crash.
void FuzzExpect(bool condition, const char* what);
