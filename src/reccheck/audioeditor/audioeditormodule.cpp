// The audio editor module: the recording check's real controls, loaded by the client through
// the user's component register.

#include "components/component.h"
#include "components/componentregistry.h"
#include "components/modulepath.h"
#include "reccheck/audiocontrols.h"
#include "reccheck/audiocontrols/micmeter.h"
#include "reccheck/audiocontrols/qtaudioutil.h"
#include "reccheck/engine/speechengine.h"

#include <QFileInfo>
#include <QtGlobal>

namespace {

// The module's own file, wherever it was installed.
QString ModulePath() {
    return ModuleFilePath(reinterpret_cast<const void*>(&ModulePath));
}

// The engine's files lie in "engine/" beside the module.
QString EngineDirectory() {
    return QFileInfo(ModulePath()).absolutePath() + QStringLiteral("/engine/");
}

class TModuleAudioControls : public TAudioControls {
public:
    explicit TModuleAudioControls(TAudioControlsHost host) : host_(std::move(host)) {}

    std::unique_ptr<TVyraAudioUtil> CreateAudioUtil() override {
        return std::make_unique<TQtAudioUtil>();
    }
    std::unique_ptr<TVyraECL> CreateECL() override {
        return std::make_unique<TSpeechEngine>(EngineDirectory(), host_);
    }
    TVyraMicLevel* CreateMicLevel(QWidget* parent) override { return new TQtMicLevel(parent); }

private:
    TAudioControlsHost host_;
};

} // namespace

extern "C" Q_DECL_EXPORT int DllRegisterServer() {
    const QString path = ModulePath();
    if (path.isEmpty())
        return 1;
    return RecordComponentModule(QLatin1String(AudioEditorComponent), path) ? 0 : 1;
}

extern "C" Q_DECL_EXPORT const char* AudioEditorInterfaceVersion() {
    return AudioControlsInterface;
}

extern "C" Q_DECL_EXPORT TAudioControls* CreateAudioControls(const TAudioControlsHost* host) {
    return new TModuleAudioControls(host ? *host : TAudioControlsHost{});
}
