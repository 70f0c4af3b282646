// A component module for the tests: it registers itself as the audio editor and makes
// substitute controls, so the component check runs without sound.

#include "../reccheck/fakeaudiocontrols.h"
#include "components/component.h"
#include "components/componentregistry.h"
#include "components/modulepath.h"

namespace {

QString ModulePath() {
    return ModuleFilePath(reinterpret_cast<const void*>(&ModulePath));
}

} // namespace

extern "C" Q_DECL_EXPORT int DllRegisterServer() {
    return RecordComponentModule(QLatin1String(AudioEditorComponent), ModulePath()) ? 0 : 1;
}

extern "C" Q_DECL_EXPORT const char* AudioEditorInterfaceVersion() {
    return AudioControlsInterface;
}

extern "C" Q_DECL_EXPORT TAudioControls* CreateAudioControls(const TAudioControlsHost*) {
    return new FakeAudioControls;
}
