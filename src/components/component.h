#pragma once

// What a component module exports, by name, for the client and the registration program.

// The component the audio controls module carries.
inline constexpr const char* AudioEditorComponent = "AudioEditor";

// int DllRegisterServer(): records the module in the per-user register; 0 on success.
inline constexpr const char* RegisterServerEntry = "DllRegisterServer";

// TAudioControls* CreateAudioControls(const TAudioControlsHost*): the module's controls maker,
// owned by the caller.
inline constexpr const char* CreateAudioControlsEntry = "CreateAudioControls";
