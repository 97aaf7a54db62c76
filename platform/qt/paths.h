#pragma once
#include <string>

// Folders the program was written to find by their Windows names.
namespace Platform {

// The "Windows directory" of per-machine program files: the user's
// configuration folder of this program (created when missing).
std::string WindowsDirectory();
// The shell folder "Personal": the user's documents.
std::string PersonalFolder();
// The folder of the running executable.
std::string ModuleDirectory();
// "COMn" → "/dev/ttyS(n-1)"; every other name is returned as it is.
std::string DevicePathOfPort(const std::string& portName);

}  // namespace Platform
