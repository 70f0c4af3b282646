#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 16-bit PCM mono samples as a WAV file, creating its folder; false on failure.
bool WriteWav(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate);
