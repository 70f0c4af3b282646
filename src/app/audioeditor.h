#pragma once

#include <QString>

class TAudioControls;

// The recording check's controls come from the audio editor module, found through the
// user's component register.

// True when the audio controls can be made; otherwise the result of registering the module
// "AudioEditor.ocx" in the program directory (it is not loaded again to see whether that
// worked: the next start or the first check will).
bool EnsureAudioEditor();

// True when path is a loadable module that exports "DllRegisterServer" and the registration
// program was run for it, whatever that program then did.
bool RegisterComponent(const QString& path);

// The controls maker of the registered module, loaded on first use. Throws ClientError when
// the module is missing or broken.
TAudioControls& AudioEditorControls();
