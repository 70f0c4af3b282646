#include "app/audioeditor.h"
#include "app/programdir.h"
#include "app/runandwait.h"
#include "components/componentregistry.h"
#include "support/qtprint.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

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

TEST_F(ComponentTest, RegisterIsTrueOnceTheProgramRanWhateverItDid) {
    // The module has the entry, but the registration program is missing: the program is not
    // run, yet the library exported the entry.
    const QString module = Install(PARVELO_FAKE_COMPONENT, "AudioEditor.ocx");
    ASSERT_TRUE(QFile::remove(program.filePath("regsvr")));
    EXPECT_TRUE(RegisterComponent(module));
    EXPECT_TRUE(RegisteredComponentModule("AudioEditor").isEmpty());
}

TEST_F(ComponentTest, RegistryRoundTripAndAMissingRegisterFile) {
    EXPECT_TRUE(RegisteredComponentModule("AudioEditor").isEmpty());
    EXPECT_TRUE(RecordComponentModule("AudioEditor", program.filePath("a/../AudioEditor.ocx")));
    EXPECT_EQ(RegisteredComponentModule("AudioEditor"), program.filePath("AudioEditor.ocx"));
    EXPECT_TRUE(RegisteredComponentModule("Other").isEmpty());
    EXPECT_TRUE(ComponentRegistryPath().startsWith(config.path()));
}

// EnsureAudioEditor keeps what it loaded for the whole run, so its cases run in this order in
// one test: missing, broken, then installed.
TEST_F(ComponentTest, EnsureAudioEditorRegistersTheInstalledModuleWhenNeeded) {
    EXPECT_FALSE(EnsureAudioEditor()) << "no module installed";
    EXPECT_THROW(AudioEditorControls(), std::exception);

    WriteText("AudioEditor.ocx");
    EXPECT_FALSE(EnsureAudioEditor()) << "a file that is not a library";
    ASSERT_TRUE(QFile::remove(program.filePath("AudioEditor.ocx")));

    // A register that points at a module that is gone counts as not registered.
    EXPECT_TRUE(RecordComponentModule("AudioEditor", program.filePath("gone/AudioEditor.ocx")));
    Install(PARVELO_FAKE_COMPONENT, "AudioEditor.ocx");
    EXPECT_TRUE(EnsureAudioEditor()) << "registered by this call";
    EXPECT_EQ(RegisteredComponentModule("AudioEditor"), program.filePath("AudioEditor.ocx"));
    EXPECT_TRUE(EnsureAudioEditor()) << "created through the register";
    EXPECT_NO_THROW(AudioEditorControls());
}

TEST(SplitRunParameters, SwitchesApartThePathWhole) {
    const struct {
        QString parameters;
        QStringList arguments;
    } cases[] = {
        {"/s /opt/client/AudioEditor.ocx", {"/s", "/opt/client/AudioEditor.ocx"}},
        {"/s /opt/my client/AudioEditor.ocx", {"/s", "/opt/my client/AudioEditor.ocx"}},
        {"/s /u  x.ocx", {"/s", "/u", "x.ocx"}},
        {"x.ocx", {"x.ocx"}},
        {"", {}},
        {"/s", {"/s"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitRunParameters(c.parameters), c.arguments) << c.parameters.toStdString();
}

TEST(RunAndWait, KeepsHandlingEventsUntilTheProgramEnds) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    RunAndWait("sleep", "1");
    EXPECT_GE(clock.elapsed(), 900) << "returned before the program ended";
    EXPECT_GT(ticks, 5) << "events were not handled while waiting";
}

TEST(RunAndWait, AProgramThatCannotStartReturnsAtOnce) {
    EXPECT_NO_THROW(RunAndWait("no-such-program-anywhere", "/s x"));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
