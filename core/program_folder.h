#pragma once

#include <filesystem>

// The folder that holds the running executable: where the program keeps
// engines.lst and finds help.rtf.
std::filesystem::path ProgramFolder();
