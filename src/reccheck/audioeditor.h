#pragma once

#include <QString>

#include <memory>

class TAudioControls;

// The recording check's controls come from the audio editor module: "AudioEditor.ocx" beside
// the program, or, when there is none, the module the user's component register names.

// True when the audio controls can be made, at once or after registering the module
// "AudioEditor.ocx" in the program directory; false brings the start-up message.
bool EnsureAudioEditor();

// True when path is a loadable module of this build that exports "DllRegisterServer" and the
// registration program ran for it and ended with exit code 0.
bool RegisterComponent(const QString& path);

// The module the controls come from: the one beside the program when it is there, otherwise
// the registered one when ModuleTrustProblem finds nothing against it, as the path that was
// checked (links resolved). Empty, with the reason, when there is none to use.
QString AudioEditorModulePath(QString* reason);

// Loads the module at path and makes its controls, once it has checked that the module was
// built with this client's controls interface. Null, with the reason, when it cannot.
// The module stays loaded: the controls live in its code.
std::unique_ptr<TAudioControls> LoadAudioControls(const QString& path, QString* reason);

// The controls maker of the audio editor module, loaded on first use. Throws ClientError when
// the module is missing or broken.
TAudioControls& AudioEditorControls();
