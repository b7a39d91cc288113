// Batch files (".qlbat"): one record per selected action, in table order,
// each with its parameters as text. Little-endian, no header.
#pragma once

#include "album/tools/BatchAction.h"
#include "platform/win/WinTypes.h"

#include <cstddef>
#include <string>
#include <vector>

namespace shelf {

// The records of the selected actions; empty when none is selected.
std::vector<BYTE> SerializeBatch(const ActionTable& table);

// Deselects every action, then selects those of the file and takes their
// values. 1 on success, 0 on a bad file (values already taken stay, nothing
// is selected). A truncated last record ends the file.
int ParseBatchFile(ActionTable& table, const BYTE* data, std::size_t size);

enum class BatchFileResult { Ok, CannotOpen, BadFile };
// Written through a temporary file beside path, renamed over it.
BatchFileResult SaveBatchFile(const ActionTable& table, const std::string& path);
BatchFileResult LoadBatchFile(ActionTable& table, const std::string& path);

} // namespace shelf
