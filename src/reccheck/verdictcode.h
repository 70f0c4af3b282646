#pragma once

// The codes CheckRecordFile returns: whether a recording is usable speech of the sentence, and
// if not, the first reason found, in the order the codes are listed.
enum SpeechVerdict : int {
    VerdictPass = 0,
    // Missing, empty, truncated, not a RIFF WAV, or not 16-bit PCM mono at 16 000 Hz.
    VerdictUnreadable = 1,
    // Digital silence or nearly: the microphone delivers nothing.
    VerdictNoSignal = 2,
    // Too many samples at full scale.
    VerdictOverloaded = 3,
    // A signal, but too little of it sounds like a voice.
    VerdictNoSpeech = 4,
    // A voice, too quiet to be recognised.
    VerdictTooQuiet = 5,
    // A voice at a good level that does not read the sentence.
    VerdictNotTheSentence = 6,
    // The speech model could not be loaded, so the sentence cannot be checked.
    VerdictNoSpeechModel = 7,
};
