// An audio editor module of another build: it registers itself like ours, but its controls
// are classes of another layout, so using its maker would crash the client.

#include "components/component.h"
#include "components/componentregistry.h"
#include "components/modulepath.h"

#include <cstdlib>

namespace {

QString ModulePath() {
    return ModuleFilePath(reinterpret_cast<const void*>(&ModulePath));
}

} // namespace

extern "C" Q_DECL_EXPORT int DllRegisterServer() {
    return RecordComponentModule(QLatin1String(AudioEditorComponent), ModulePath()) ? 0 : 1;
}

extern "C" Q_DECL_EXPORT const char* AudioEditorInterfaceVersion() {
    return "parvelo 0.9, Qt 6.2.4";
}

extern "C" Q_DECL_EXPORT void* CreateAudioControls(const void*) {
    std::abort();
}
