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

const char* RegistrationOutcome(bool registrable, RunResult run) {
    if (!registrable)
        return "no entry";
    switch (run) {
    case RunResult::Ended:
        return "registered";
    case RunResult::Failed:
        return "registration failed";
    case RunResult::NotStarted:
        return "registration program not started";
    case RunResult::TimedOut:
        return "registration hung";
    }
    return "";
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
    QString checked;
    const QString problem = ModuleTrustProblem(registered, &checked);
    if (!problem.isEmpty()) {
        *reason = QStringLiteral("registered module not trusted: %1").arg(problem);
        return QString();
    }
    return checked;
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
    return RegisterComponent(ProgramDir() + QLatin1String(ModuleFileName)) && FindAudioControls();
}

bool RegisterComponent(const QString& path) {
    QLibrary module(path);
    if (!module.load()) {
        DebugLog("register %s: %s", qUtf8Printable(path), qUtf8Printable(module.errorString()));
        return false;
    }
    QString reason;
    if (!HasOurInterface(module, &reason)) {
        DebugLog("register %s: %s", qUtf8Printable(path), qUtf8Printable(reason));
        module.unload();
        return false;
    }
    const bool registrable = module.resolve(RegisterServerEntry) != nullptr;
    // A registration program that is missing, hangs, fails or crashes registered nothing.
    RunResult run = RunResult::NotStarted;
    if (registrable)
        run = RunAndWait(QLatin1String(RegistrationProgram), {QStringLiteral("/s"), path});
    module.unload();
    DebugLog("register %s: %s", qUtf8Printable(path), RegistrationOutcome(registrable, run));
    return registrable && run == RunResult::Ended;
}

TAudioControls& AudioEditorControls() {
    if (TAudioControls* controls = FindAudioControls())
        return *controls;
    throw ClientError(QStringLiteral("加载系统需要的组件失败。"));
}
