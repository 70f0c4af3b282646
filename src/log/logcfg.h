#pragma once

#include <QString>

#include <cstdint>

// The log's configuration: one value per key of the settings file's log section.
class TzarqLogCfg {
public:
    static constexpr std::int32_t DefaultMaxSize = 10000000;
    static constexpr std::int32_t DefaultOutput = 1;
    static constexpr std::int32_t DefaultLevel = 7;
    static const char* const DefaultTitle;
    static const char* const DefaultFile;
    static const char* const DefaultSection;

    TzarqLogCfg() { Reset(); }

    // Every value back to its default.
    void Reset();
    // Reads the keys from the section ("logger" when empty) of the INI file. False, with
    // nothing changed, when the file does not exist; a missing key gives its default.
    bool LoadFromIni(const QString& path, const QString& section);

    bool flush;           // kept for the settings file's sake; nothing depends on it
    bool overwrite;       // at rotation: delete the full file instead of keeping it
    std::int32_t maxsize; // rotation limit in bytes, compared as an unsigned number
    std::int32_t output;  // bit set: 1 file, 2 standard output, 4 system log
    std::int32_t level;   // bit set of the message levels written
    QString title;        // subject of the header and footer blocks
    QString file;         // the log file's path as configured
};
