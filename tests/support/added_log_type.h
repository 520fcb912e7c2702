// A log type the codec does not carry, added the way a developer adds one:
// one row appended to a copy of the codec's registry. MARK3PVA is named by the
// catalogue, and the monitor's store counts it, so that row is all it takes.
// For the tests its body is laid out as INSPVA's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/ins_logs.h"
#include "codec/log_registry.h"

inline constexpr uint16_t ADDED_LOG_ID = 1118; // MARK3PVA

// The codec's registry with the MARK3PVA row behind its own.
const LOG_REGISTRY_T& RegistryWithAddedLog();

// One MARK3PVA log: its body, its full text line (CR LF included) and the same
// log in binary form with its CRC-32, both written here byte by byte.
InsPvaBody AddedLogBody();
std::string AddedLogText();
std::vector<uint8_t> AddedLogBinary();
