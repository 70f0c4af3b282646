#include "wavwriter.h"

#include <filesystem>
#include <fstream>

namespace {

// WAV fields are little-endian whatever the machine.
void PutLittleEndian(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xff));
}

} // namespace

bool WriteWav(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate) {
    constexpr std::uint32_t Channels = 1;
    constexpr std::uint32_t BytesPerSample = 2;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * BytesPerSample);

    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write("RIFF", 4);
    PutLittleEndian(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    PutLittleEndian(out, 16, 4); // size of the format block
    PutLittleEndian(out, 1, 2);  // PCM
    PutLittleEndian(out, Channels, 2);
    PutLittleEndian(out, static_cast<std::uint32_t>(sampleRate), 4);
    PutLittleEndian(out, static_cast<std::uint32_t>(sampleRate) * Channels * BytesPerSample, 4);
    PutLittleEndian(out, Channels * BytesPerSample, 2);
    PutLittleEndian(out, 8 * BytesPerSample, 2);
    out.write("data", 4);
    PutLittleEndian(out, dataBytes, 4);
    for (const std::int16_t sample : samples)
        PutLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
    return static_cast<bool>(out.flush());
}
