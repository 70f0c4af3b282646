// A component module for the tests: it registers itself as the audio editor and makes
// substitute controls, so the component check runs without sound.

#include "../reccheck/fakeaudiocontrols.h"
#include "components/component.h"
#include "components/componentregistry.h"

#include <QFileInfo>
#include <dlfcn.h>

namespace {

QString ModulePath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

} // namespace

extern "C" Q_DECL_EXPORT int DllRegisterServer() {
    return RecordComponentModule(QLatin1String(AudioEditorComponent), ModulePath()) ? 0 : 1;
}

extern "C" Q_DECL_EXPORT TAudioControls* CreateAudioControls(const TAudioControlsHost*) {
    return new FakeAudioControls;
}
