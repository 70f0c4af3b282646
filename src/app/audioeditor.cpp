#include "app/audioeditor.h"

#include "app/programdir.h"
#include "app/runandwait.h"
#include "components/component.h"
#include "components/componentregistry.h"
#include "log/logger.h"
#include "reccheck/audiocontrols.h"
#include "ui/errorbox.h"

#include <QLibrary>
#include <memory>

namespace {

const char* const ModuleFileName = "AudioEditor.ocx";
const char* const RegistrationProgram = "regsvr";

using CreateAudioControlsFunction = TAudioControls* (*)(const TAudioControlsHost*);

// The module stays loaded for the whole run: the controls it made live in its code.
std::unique_ptr<TAudioControls> LoadAudioControls(QString* reason) {
    const QString path = RegisteredComponentModule(QLatin1String(AudioEditorComponent));
    if (path.isEmpty()) {
        *reason = QStringLiteral("not registered");
        return nullptr;
    }
    QLibrary module(path);
    if (!module.load()) {
        *reason = module.errorString();
        return nullptr;
    }
    const auto create =
        reinterpret_cast<CreateAudioControlsFunction>(module.resolve(CreateAudioControlsEntry));
    if (!create) {
        *reason = QStringLiteral("%1 exports no %2").arg(path, CreateAudioControlsEntry);
        return nullptr;
    }
    static const TAudioControlsHost host{
        [](const QString& line) { DebugLog("%s", qUtf8Printable(line)); }};
    std::unique_ptr<TAudioControls> controls(create(&host));
    if (!controls)
        *reason = QStringLiteral("%1 made no controls").arg(path);
    return controls;
}

std::unique_ptr<TAudioControls>& LoadedControls() {
    static std::unique_ptr<TAudioControls> controls;
    return controls;
}

TAudioControls* FindAudioControls() {
    std::unique_ptr<TAudioControls>& controls = LoadedControls();
    if (!controls) {
        QString reason;
        controls = LoadAudioControls(&reason);
        if (!controls)
            DebugLog("audio editor: %s", qUtf8Printable(reason));
    }
    return controls.get();
}

} // namespace

bool EnsureAudioEditor() {
    if (FindAudioControls())
        return true;
    return RegisterComponent(ProgramDir() + QLatin1String(ModuleFileName));
}

bool RegisterComponent(const QString& path) {
    bool result = false;
    QLibrary module(path);
    if (!module.load()) {
        DebugLog("register %s: %s", qUtf8Printable(path), qUtf8Printable(module.errorString()));
        return result;
    }
    if (module.resolve(RegisterServerEntry)) {
        RunAndWait(QLatin1String(RegistrationProgram), QStringLiteral("/s ") + path);
        result = true;
    }
    module.unload();
    DebugLog("register %s: %s", qUtf8Printable(path), result ? "registration run" : "no entry");
    return result;
}

TAudioControls& AudioEditorControls() {
    if (TAudioControls* controls = FindAudioControls())
        return *controls;
    throw ClientError(QStringLiteral("加载系统需要的组件失败。"));
}
