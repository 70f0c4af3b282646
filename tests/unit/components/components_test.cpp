#include "base/programdir.h"
#include "components/componentregistry.h"
#include "components/moduletrust.h"
#include "reccheck/audiocontrols.h"
#include "reccheck/audioeditor.h"
#include "support/qtprint.h"
#include "system/runandwait.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <ctime>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each test gets its own configuration folder (where the register lives) and program folder.
class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        ASSERT_TRUE(program.isValid());
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        SetProgramDir(program.path());
        // The registration program is installed beside the client.
        ASSERT_TRUE(QFile::copy(QStringLiteral(PARVELO_REGSVR), program.filePath("regsvr")));
    }

    QString Install(const char* module, const QString& name) {
        const QString path = program.filePath(name);
        EXPECT_TRUE(QFile::copy(QString::fromLatin1(module), path));
        return path;
    }

    QString WriteText(const QString& name) {
        QFile file(program.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("MZ this is not a library\n");
        return file.fileName();
    }

    QTemporaryDir config;
    QTemporaryDir program;
};

TEST_F(ComponentTest, RegisterRecordsAModuleThroughTheRegistrationProgram) {
    const QString module = Install(PARVELO_FAKE_COMPONENT, "AudioEditor.ocx");
    EXPECT_TRUE(RegisteredComponentModule("AudioEditor").isEmpty());
    EXPECT_TRUE(RegisterComponent(module));
    EXPECT_EQ(RegisteredComponentModule("AudioEditor"), module);
}

TEST_F(ComponentTest, RegisterRefusesWhatIsNotARegistrableModule) {
    const struct {
        const char* name;
        QString path;
    } cases[] = {
        {"missing file", program.filePath("missing.ocx")},
        {"not a library", WriteText("text.ocx")},
        {"no registration entry", Install(PARVELO_NOENTRY_COMPONENT, "noentry.ocx")},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(RegisterComponent(c.path)) << c.name;
        EXPECT_TRUE(RegisteredComponentModule("AudioEditor").isEmpty()) << c.name;
    }
}

// The module has the registration entry, but the registration program does not register it:
// that is a failure, shown at start-up, not a success found out at the sound test.
TEST_F(ComponentTest, RegisterFailsWhenTheRegistrationProgramDoesNotSucceed) {
    const struct {
        const char* name;
        QByteArray program; // empty: no registration program at all
    } cases[] = {
        {"missing", {}},
        {"not executable", "#!/bin/sh\nexit 0\n"},
        {"exit code 1", "#!/bin/sh\nexit 1\n"},
        {"exit code 2", "#!/bin/sh\nexit 2\n"},
        {"ended by a signal", "#!/bin/sh\nkill -SEGV $$\n"},
    };
    const QString module = Install(PARVELO_FAKE_COMPONENT, "AudioEditor.ocx");
    for (const auto& c : cases) {
        const QString regsvr = program.filePath("regsvr");
        QFile::remove(regsvr);
        if (!c.program.isEmpty()) {
            QFile file(regsvr);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.program);
            file.close();
            if (std::string_view(c.name) != "not executable") {
                ASSERT_TRUE(file.setPermissions(file.permissions() | QFile::ExeOwner));
            }
        }
        EXPECT_FALSE(RegisterComponent(module)) << c.name;
        EXPECT_TRUE(RegisteredComponentModule("AudioEditor").isEmpty()) << c.name;
    }
}

TEST_F(ComponentTest, RegistryRoundTripAndAMissingRegisterFile) {
    EXPECT_TRUE(RegisteredComponentModule("AudioEditor").isEmpty());
    EXPECT_TRUE(RecordComponentModule("AudioEditor", program.filePath("a/../AudioEditor.ocx")));
    EXPECT_EQ(RegisteredComponentModule("AudioEditor"), program.filePath("AudioEditor.ocx"));
    EXPECT_TRUE(RegisteredComponentModule("Other").isEmpty());
    EXPECT_TRUE(ComponentRegistryPath().startsWith(config.path()));
}

// A folder for modules with this mode; owner another user, when given.
QString Folder(const QTemporaryDir& root, const QString& name, mode_t mode, uid_t owner = -1) {
    const QString path = root.filePath(name);
    const QByteArray native = QFile::encodeName(path);
    EXPECT_TRUE(QDir().mkpath(path));
    EXPECT_EQ(::chmod(native.constData(), mode), 0);
    if (owner != static_cast<uid_t>(-1)) {
        EXPECT_EQ(::chown(native.constData(), owner, owner), 0);
    }
    return path;
}

QString CopyModule(const char* module, const QString& path, mode_t mode = 0755) {
    EXPECT_TRUE(QFile::copy(QString::fromLatin1(module), path));
    EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    return path;
}

constexpr uid_t OtherUser = 65534;

TEST_F(ComponentTest, ModulesAreTrustedOnlyWhereNobodyElseCanChangeThem) {
    QTemporaryDir root;
    const bool asRoot = ::geteuid() == 0;
    const QString shared = Folder(root, "shared", 01777);
    const struct {
        const char* name;
        QString module;
        bool trusted;
    } cases[] = {
        {"own folder", CopyModule(PARVELO_FAKE_COMPONENT, Folder(root, "own", 0755) + "/a.ocx"),
         true},
        {"own folder in a shared sticky folder",
         CopyModule(PARVELO_FAKE_COMPONENT, Folder(root, "shared/mine", 0700) + "/a.ocx"), true},
        {"world-writable folder",
         CopyModule(PARVELO_FAKE_COMPONENT, Folder(root, "open", 0777) + "/a.ocx"), false},
        {"group-writable folder",
         CopyModule(PARVELO_FAKE_COMPONENT, Folder(root, "group", 0775) + "/a.ocx"), false},
        {"world-writable file",
         CopyModule(PARVELO_FAKE_COMPONENT, Folder(root, "own", 0755) + "/b.ocx", 0757), false},
        {"group-writable file",
         CopyModule(PARVELO_FAKE_COMPONENT, Folder(root, "own", 0755) + "/c.ocx", 0775), false},
        {"world-writable folder above",
         CopyModule(PARVELO_FAKE_COMPONENT, Folder(root, "open/deeper", 0700) + "/a.ocx"), false},
        {"directly in the shared sticky folder",
         CopyModule(PARVELO_FAKE_COMPONENT, shared + "/a.ocx"), true},
        {"missing file", root.filePath("own/missing.ocx"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ModuleTrustProblem(c.module).isEmpty(), c.trusted)
            << c.name << ": " << ModuleTrustProblem(c.module).toStdString();

    const QString link = root.filePath("own/link.ocx");
    ASSERT_TRUE(QFile::link(root.filePath("open/a.ocx"), link));
    EXPECT_FALSE(ModuleTrustProblem(link).isEmpty()) << "a link to an untrusted module";

    if (!asRoot)
        return;
    const QString othersFolder =
        CopyModule(PARVELO_FAKE_COMPONENT, Folder(root, "others", 0755, OtherUser) + "/a.ocx");
    EXPECT_FALSE(ModuleTrustProblem(othersFolder).isEmpty()) << "another user's folder";
    const QString othersFile = CopyModule(PARVELO_FAKE_COMPONENT, root.filePath("own/d.ocx"));
    ASSERT_EQ(::chown(QFile::encodeName(othersFile).constData(), OtherUser, OtherUser), 0);
    EXPECT_FALSE(ModuleTrustProblem(othersFile).isEmpty()) << "another user's file";
}

TEST_F(ComponentTest, TheModuleBesideTheProgramComesBeforeTheRegisteredOne) {
    QTemporaryDir elsewhere;
    const QString registered =
        CopyModule(PARVELO_FAKE_COMPONENT, elsewhere.filePath("AudioEditor.ocx"));
    ASSERT_TRUE(RecordComponentModule("AudioEditor", registered));
    QString reason;
    EXPECT_EQ(AudioEditorModulePath(&reason), registered) << "nothing beside the program";

    const QString beside = Install(PARVELO_FAKE_COMPONENT, "AudioEditor.ocx");
    EXPECT_EQ(AudioEditorModulePath(&reason), beside);
}

// The registered path may lead through links; what is loaded is the file that was checked, so
// a link changed after the check cannot lead the client to another file.
TEST_F(ComponentTest, TheRegisteredModuleIsUsedByThePathThatWasChecked) {
    QTemporaryDir root;
    const QString own = Folder(root, "own", 0755);
    const QString open = Folder(root, "open", 0777);
    const QString trusted = CopyModule(PARVELO_FAKE_COMPONENT, own + "/AudioEditor.ocx");
    const QString planted = CopyModule(PARVELO_FAKE_COMPONENT, open + "/AudioEditor.ocx");
    ASSERT_TRUE(QFile::link(own + "/AudioEditor.ocx", own + "/second.ocx"));
    ASSERT_TRUE(QFile::link(own, root.filePath("ownlink")));
    const struct {
        const char* name;
        QString registered;
        QString link; // the link that another user might turn towards the planted module
    } cases[] = {
        {"the module itself", trusted, {}},
        {"a link in a folder of the user's", own + "/link.ocx", own + "/link.ocx"},
        {"a link to a link", own + "/chain.ocx", own + "/chain.ocx"},
        {"a linked folder", root.filePath("ownlink/AudioEditor.ocx"), {}},
        {"a link in a shared sticky folder", Folder(root, "shared", 01777) + "/link.ocx",
         root.filePath("shared/link.ocx")},
    };
    ASSERT_TRUE(QFile::link(trusted, own + "/link.ocx"));
    ASSERT_TRUE(QFile::link(own + "/second.ocx", own + "/chain.ocx"));
    ASSERT_TRUE(QFile::link(trusted, root.filePath("shared/link.ocx")));
    for (const auto& c : cases) {
        ASSERT_TRUE(RecordComponentModule("AudioEditor", c.registered)) << c.name;
        QString reason;
        const QString used = AudioEditorModulePath(&reason);
        EXPECT_EQ(used, QFileInfo(trusted).canonicalFilePath())
            << c.name << ": " << reason.toStdString();
        EXPECT_EQ(QFileInfo(used).symLinkTarget(), QString()) << c.name;
        if (c.link.isEmpty())
            continue;
        // Between the check and the load the link now leads elsewhere.
        ASSERT_TRUE(QFile::remove(c.link));
        ASSERT_TRUE(QFile::link(planted, c.link));
        EXPECT_EQ(QFileInfo(used).canonicalFilePath(), QFileInfo(trusted).canonicalFilePath())
            << c.name;
        EXPECT_TRUE(AudioEditorModulePath(&reason).isEmpty()) << c.name << ": now untrusted";
        ASSERT_TRUE(QFile::remove(c.link));
        ASSERT_TRUE(QFile::link(trusted, c.link));
    }
}

TEST_F(ComponentTest, AModuleOfAnotherBuildIsNeitherUsedNorRegistered) {
    const QString module = Install(PARVELO_OTHERBUILD_COMPONENT, "AudioEditor.ocx");
    QString reason;
    EXPECT_EQ(LoadAudioControls(module, &reason), nullptr);
    EXPECT_TRUE(reason.contains("another interface")) << reason.toStdString();
    EXPECT_FALSE(RegisterComponent(module));
    EXPECT_TRUE(RegisteredComponentModule("AudioEditor").isEmpty());
}

// EnsureAudioEditor keeps the controls it made for the whole run, so its cases run in this
// order in one test: every failing one, then the one that makes controls.
TEST_F(ComponentTest, EnsureAudioEditorUsesOnlyTrustedModulesOfThisBuild) {
    EXPECT_FALSE(EnsureAudioEditor()) << "no module installed";
    EXPECT_THROW(AudioEditorControls(), std::exception);

    WriteText("AudioEditor.ocx");
    EXPECT_FALSE(EnsureAudioEditor()) << "a file that is not a library";
    ASSERT_TRUE(QFile::remove(program.filePath("AudioEditor.ocx")));

    // A register that points at a module that is gone counts as not registered.
    EXPECT_TRUE(RecordComponentModule("AudioEditor", program.filePath("gone/AudioEditor.ocx")));
    EXPECT_FALSE(EnsureAudioEditor()) << "registered module gone";

    // Anybody could have put a module of their own into a world-writable folder.
    QTemporaryDir elsewhere;
    const QString open = Folder(elsewhere, "open", 0777);
    EXPECT_TRUE(RecordComponentModule(
        "AudioEditor", CopyModule(PARVELO_FAKE_COMPONENT, open + "/AudioEditor.ocx")));
    EXPECT_FALSE(EnsureAudioEditor()) << "registered module in a world-writable folder";
    EXPECT_THROW(AudioEditorControls(), std::exception);

    // Another build's maker would crash the client; it is not called.
    Install(PARVELO_OTHERBUILD_COMPONENT, "AudioEditor.ocx");
    EXPECT_FALSE(EnsureAudioEditor()) << "a module of another build beside the program";
    ASSERT_TRUE(QFile::remove(program.filePath("AudioEditor.ocx")));

    // The registered module of another build is passed over for the one beside the program.
    const QString trusted = Folder(elsewhere, "trusted", 0755);
    EXPECT_TRUE(RecordComponentModule(
        "AudioEditor", CopyModule(PARVELO_OTHERBUILD_COMPONENT, trusted + "/AudioEditor.ocx")));
    Install(PARVELO_FAKE_COMPONENT, "AudioEditor.ocx");
    EXPECT_TRUE(EnsureAudioEditor()) << "the module beside the program";
    EXPECT_NO_THROW(AudioEditorControls());
}

TEST_F(ComponentTest, APathWithBlanksRegisters) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "the folder with a blank must sit right under the root";
    // A first folder whose name starts like a switch: "/s /My Apps/..." as one text would
    // lose "/My" as a switch of its own.
    QTemporaryDir apps(QStringLiteral("/My Apps-XXXXXX"));
    ASSERT_TRUE(apps.isValid());
    const QString module = CopyModule(PARVELO_FAKE_COMPONENT, apps.filePath("AudioEditor.ocx"));
    EXPECT_TRUE(RegisterComponent(module));
    EXPECT_EQ(RegisteredComponentModule("AudioEditor"), module);
}

double ProcessorSeconds() {
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return double(used.tv_sec) + double(used.tv_nsec) / 1e9;
}

// Programs run from a program directory of their own: small shell scripts.
class RunAndWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program.isValid());
        SetProgramDir(program.path());
    }

    QString Script(const char* name, const QByteArray& body) {
        QFile file(program.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.close();
        EXPECT_TRUE(file.setPermissions(file.permissions() | QFile::ExeOwner));
        return file.fileName();
    }

    QTemporaryDir program;
};

TEST_F(RunAndWaitTest, WaitsForTheEndWithoutKeepingAProcessorBusy) {
    Script("sleeper", "sleep 2\n");
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    const double processorBefore = ProcessorSeconds();
    EXPECT_EQ(RunAndWait("sleeper", {}), RunResult::Ended);
    const double processor = ProcessorSeconds() - processorBefore;
    EXPECT_GE(clock.elapsed(), 1900) << "returned before the program ended";
    EXPECT_GT(ticks, 10) << "events were not handled while waiting";
    // Waiting for the end as an event costs next to nothing; polling costs the whole wait.
    EXPECT_LT(processor, 0.4) << "the wait kept a processor busy for " << processor << " s";
}

TEST_F(RunAndWaitTest, ArgumentsArriveWhole) {
    Script("args",
           "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n");
    EXPECT_EQ(RunAndWait("args", {"/s", "/My Apps/x.ocx", "two  blanks "}), RunResult::Ended);
    QFile args(program.filePath("args.txt"));
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll(), QByteArray("/s\n/My Apps/x.ocx\ntwo  blanks \n"));
}

TEST_F(RunAndWaitTest, OnlyExitCodeZeroIsASuccessfulEnd) {
    const struct {
        const char* body;
        RunResult result;
    } cases[] = {
        {"exit 0\n", RunResult::Ended},         {"true\n", RunResult::Ended},
        {"exit 1\n", RunResult::Failed},        {"exit 255\n", RunResult::Failed},
        {"kill -SEGV $$\n", RunResult::Failed}, {"kill -KILL $$\n", RunResult::Failed},
    };
    for (const auto& c : cases) {
        Script("ends", c.body);
        EXPECT_EQ(RunAndWait("ends", {}), c.result) << c.body;
    }
}

TEST_F(RunAndWaitTest, RunsOnlyFromTheProgramDirectory) {
    // On the search path, but not in the program directory.
    EXPECT_EQ(RunAndWait("sleep", {"0"}), RunResult::NotStarted);
    EXPECT_EQ(RunAndWait("no-such-program-anywhere", {"/s", "x"}), RunResult::NotStarted);
}

TEST_F(RunAndWaitTest, AProgramThatHangsIsEndedAfterTheTimeLimit) {
    Script("hang", "echo $$ > \"$(dirname \"$0\")/pid\"; exec sleep 600\n");
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(RunAndWait("hang", {}, 500), RunResult::TimedOut);
    EXPECT_LT(clock.elapsed(), 20000);
    QFile pid(program.filePath("pid"));
    ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/%1").arg(pid.readAll().trimmed().toInt())))
        << "the hung program still runs";
}

TEST(ProgramDirOf, IsTheExecutablesFolderAndNeverTheCurrentOne) {
    const struct {
        QString executable;
        QString dir;
    } cases[] = {
        {"/opt/parvelo/parvelo", "/opt/parvelo/"},
        {"/parvelo", "/"},
        {"/home/a b/x/parvelo", "/home/a b/x/"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramDirOf(c.executable), c.dir) << c.executable.toStdString();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
