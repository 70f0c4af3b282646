#include "reccheck/audiocontrols/qtaudioutil.h"

#include "reccheck/audiocontrols/chunklevel.h"
#include "reccheck/audiocontrols/defaultdevice.h"
#include "reccheck/audiocontrols/miclevelhub.h"
#include "reccheck/engine/wavfile.h"
#include "reccheck/soundout/playablewav.h"

#include <algorithm>
#include <limits>
#include <pulse/sample.h>
#include <stdexcept>

namespace {

// The check's countdown runs a little over ten seconds; the recording keeps exactly the first
// ten, counted in bytes rather than by the clock.
constexpr int LongestRecordingSeconds = 10;

[[noreturn]] void Fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

} // namespace

TQtAudioUtil::TQtAudioUtil() = default;

// The player and recorder stop their threads before the handlers they call go.
TQtAudioUtil::~TQtAudioUtil() {
    player_.Stop();
    recorder_.Stop();
}

void TQtAudioUtil::Play() {
    Stop();
    const QByteArray output = DefaultAudioOutput();
    if (output.isEmpty())
        Fail(QStringLiteral("没有可用的声音输出设备，无法播放声音。"));
    QString reason;
    const std::optional<PlayableWav> sound = ReadPlayableWav(fileName_, &reason);
    if (!sound)
        Fail(QStringLiteral("无法播放声音文件 %1：%2。").arg(fileName_, reason));
    const auto ended = [this](PulsePlayer::End end) {
        EndPlayback(end == PulsePlayer::End::Heard ? AudioIdle : AudioDeviceLost);
    };
    // The output was there a moment ago: failing to open it means the server went away.
    if (!player_.Start(*sound, output, ended, &reason))
        throw TAudioDeviceLost("无法打开声音输出设备。");
    playing_ = true;
    Report(AudioPlaying);
}

void TQtAudioUtil::PrepareRecord() {
    Stop();
    input_.clear();
    if (sampleSize_ != 16)
        Fail(QStringLiteral("只能录制 16 位的声音，不能录制 %1 位的。").arg(sampleSize_));
    const QByteArray input = DefaultAudioInput();
    if (input.isEmpty())
        Fail(QStringLiteral("没有可用的麦克风，无法录音。"));
    const pa_sample_spec spec{PA_SAMPLE_S16LE, uint32_t(std::max(0, sampleRate_)), 1};
    if (!pa_sample_spec_valid(&spec))
        Fail(QStringLiteral("麦克风不能以每秒 %1 次、16 位、单声道录音。").arg(sampleRate_));
    input_ = input;
}

void TQtAudioUtil::StartRecord() {
    if (input_.isEmpty())
        PrepareRecord();
    Stop();
    recorded_.clear();
    recordedRate_ = sampleRate_;
    QString reason;
    const bool started = recorder_.Start(
        input_, sampleRate_, [this] { TakeRecorded(); }, [this] { EndRecording(AudioDeviceLost); },
        &reason);
    input_.clear();
    if (!started)
        throw TAudioDeviceLost("无法打开麦克风。");
    recording_ = true;
    Report(AudioRecording);
}

void TQtAudioUtil::TakeRecorded() {
    const QByteArray chunk = recorder_.Take();
    if (chunk.isEmpty())
        return;
    const qsizetype longest =
        qsizetype(SampleRate()) * (SampleSize() / 8) * LongestRecordingSeconds;
    recorded_ += chunk.left(std::max<qsizetype>(0, longest - recorded_.size()));
    MicLevelHub::Instance().Publish(PeakDbfs(chunk));
}

void TQtAudioUtil::Stop() {
    if (playing_)
        EndPlayback();
    else if (recording_)
        EndRecording();
}

QString TQtAudioUtil::SaveRecord(const QString& path) {
    const int rate = recordedRate_ > 0 ? recordedRate_ : sampleRate_;
    QString reason;
    if (!WriteWav(path, rate, recorded_, &reason))
        Fail(QStringLiteral("无法保存录音文件 %1：%2").arg(path, reason));
    // Mono 16-bit: two bytes a sample.
    const qsizetype samples = recorded_.size() / 2;
    const double seconds = double(samples) / rate;
    return QStringLiteral("%1 s recorded").arg(seconds, 0, 'f', 2);
}

void TQtAudioUtil::EndPlayback(int status) {
    player_.Stop();
    playing_ = false;
    if (status_ == AudioPlaying)
        Report(status);
}

// What the recorder took until it stopped is kept.
void TQtAudioUtil::EndRecording(int status) {
    recorder_.Stop();
    recording_ = false;
    TakeRecorded();
    MicLevelHub::Instance().Publish(-std::numeric_limits<double>::infinity());
    if (status_ == AudioRecording)
        Report(status);
}

// Last in every caller: the handler may start the next playback or recording.
void TQtAudioUtil::Report(int status) {
    status_ = status;
    const StatusHandler handler = OnStatusChange;
    if (handler)
        handler(this, status);
}
