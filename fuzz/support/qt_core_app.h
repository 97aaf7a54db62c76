#pragma once
#include <string>

namespace Fuzz {

// A QCoreApplication for the whole process, made on the first call (the
// serial component and the translation component want one).
void EnsureCoreApp();

// Delivers what is posted and empties the queue. Components post state
// reports that no event loop reads in a target; the queue keeps an entry
// even for a receiver that is gone, and a queue that only grows makes
// every later post and removal slower. Targets whose objects post call it
// once per input.
void SettlePostedEvents();

// A private temporary folder for files the target writes, made on the
// first call and removed at exit; in /dev/shm where it exists.
const char* TempFolder();

// Writes bytes as the whole file at path through a plain descriptor (no
// stream built per input); aborts when it cannot.
void WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace Fuzz
