// The readers under test take a path: hand them the fuzz input as an in-memory file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Replaces the contents of this process's in-memory file and returns a path
// that opens it.
std::string WriteFuzzFile(const std::uint8_t* data, std::size_t size);
