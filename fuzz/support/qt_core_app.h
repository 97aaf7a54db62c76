#pragma once

namespace Fuzz {

// A QCoreApplication for the whole process, made on the first call (the
// serial component and the translation component want one).
void EnsureCoreApp();

// A private temporary folder for files the target writes, made on the
// first call and removed at exit.
const char* TempFolder();

}  // namespace Fuzz
