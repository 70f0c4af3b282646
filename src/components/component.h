#pragma once

#include <QtGlobal>

// What a component module exports, by name, for the client and the registration program.

// The component the audio controls module carries.
inline constexpr const char* AudioEditorComponent = "AudioEditor";

// int DllRegisterServer(): records the module in the per-user register; 0 on success.
inline constexpr const char* RegisterServerEntry = "DllRegisterServer";

// TAudioControls* CreateAudioControls(const TAudioControlsHost*): the module's controls maker,
// owned by the caller.
inline constexpr const char* CreateAudioControlsEntry = "CreateAudioControls";

// const char* AudioEditorInterfaceVersion(): the build of the controls' interface the module
// was made with. The controls are C++ classes, so a module of another build would crash the
// client: its maker is used only when this text equals AudioControlsInterface.
inline constexpr const char* InterfaceVersionEntry = "AudioEditorInterfaceVersion";
inline constexpr const char* AudioControlsInterface =
    "parvelo " PARVELO_BUILD_VERSION ", Qt " QT_VERSION_STR;
