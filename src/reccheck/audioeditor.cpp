#include "reccheck/audioeditor.h"

#include "base/programdir.h"
#include "components/component.h"
#include "components/componentregistry.h"
#include "components/moduletrust.h"
#include "log/logger.h"
#include "reccheck/audiocontrols.h"
#include "system/runandwait.h"
#include "ui/errorbox.h"

#include <QFileInfo>
#include <QLibrary>

#include <cstring>
#include <memory>

namespace {

const char* const ModuleFileName = "AudioEditor.ocx";
const char* const RegistrationProgram = "regsvr";

using CreateAudioControlsFunction = TAudioControls* (*)(const TAudioControlsHost*);

using InterfaceVersionFunction = const char* (*)();

// False, with the reason, when the module was made with another build of the controls.
bool HasOurInterface(QLibrary& module, QString* reason) {
    const auto version =
        reinterpret_cast<InterfaceVersionFunction>(module.resolve(InterfaceVersionEntry));
    const char* text = version ? version() : nullptr;
    if (text && std::strcmp(text, AudioControlsInterface) == 0)
        return true;
    *reason = QStringLiteral("%1 was built for another interface (%2), not %3")
                  .arg(module.fileName(), QString::fromUtf8(text ? text : "none"),
                       QString::fromUtf8(AudioControlsInterface));
    return false;
}

} // namespace

QString AudioEditorModulePath(QString* reason) {
    QString beside = ProgramDir() + QLatin1String(ModuleFileName);
    if (QFileInfo::exists(beside))
        return beside;
    QString registered = RegisteredComponentModule(QLatin1String(AudioEditorComponent));
    if (registered.isEmpty()) {
        *reason = QStringLiteral("not registered");
        return QString();
    }
    const QString problem = ModuleTrustProblem(registered);
    if (!problem.isEmpty()) {
        *reason = QStringLiteral("registered module not trusted: %1").arg(problem);
        return QString();
    }
    return registered;
}

std::unique_ptr<TAudioControls> LoadAudioControls(const QString& path, QString* reason) {
    QLibrary module(path);
    if (!module.load()) {
        *reason = module.errorString();
        return nullptr;
    }
    if (!HasOurInterface(module, reason)) {
        module.unload();
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

namespace {

std::unique_ptr<TAudioControls>& LoadedControls() {
    static std::unique_ptr<TAudioControls> controls;
    return controls;
}

TAudioControls* FindAudioControls() {
    std::unique_ptr<TAudioControls>& controls = LoadedControls();
    if (!controls) {
        QString reason;
        const QString path = AudioEditorModulePath(&reason);
        if (!path.isEmpty())
            controls = LoadAudioControls(path, &reason);
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
    QString reason;
    if (!HasOurInterface(module, &reason)) {
        DebugLog("register %s: %s", qUtf8Printable(path), qUtf8Printable(reason));
        module.unload();
        return result;
    }
    const bool registrable = module.resolve(RegisterServerEntry) != nullptr;
    // A registration that hangs is ended and counts as failed.
    if (registrable)
        result = RunAndWait(QLatin1String(RegistrationProgram), {QStringLiteral("/s"), path}) !=
                 RunResult::TimedOut;
    module.unload();
    DebugLog("register %s: %s", qUtf8Printable(path),
             !registrable ? "no entry"
             : result     ? "registration run"
                          : "registration hung");
    return result;
}

TAudioControls& AudioEditorControls() {
    if (TAudioControls* controls = FindAudioControls())
        return *controls;
    throw ClientError(QStringLiteral("加载系统需要的组件失败。"));
}
