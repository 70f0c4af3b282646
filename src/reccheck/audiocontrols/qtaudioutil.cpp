#include "reccheck/audiocontrols/qtaudioutil.h"

#include "reccheck/audiocontrols/chunklevel.h"
#include "reccheck/audiocontrols/defaultdevice.h"
#include "reccheck/audiocontrols/miclevelhub.h"
#include "reccheck/audiocontrols/playablewav.h"
#include "reccheck/engine/wavfile.h"

#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>
#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

// The level meter moves in steps of one chunk.
constexpr qint64 ChunkMicroseconds = 100000;
constexpr int DeviceCheckIntervalMs = 500;
// The check's countdown runs a little over ten seconds; the recording keeps exactly the first
// ten, counted in bytes rather than by the clock.
constexpr int LongestRecordingSeconds = 10;

[[noreturn]] void Fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

} // namespace

// Qt's sink and source do not notice that the server took their device away, and Qt 6.4 does
// not signal changes of the device lists: the lists are looked at while a device is in use.
TQtAudioUtil::TQtAudioUtil() {
    playEnd_.setSingleShot(true);
    QObject::connect(&playEnd_, &QTimer::timeout, &signalContext_, [this] { EndPlayback(); });
    deviceCheck_.setInterval(DeviceCheckIntervalMs);
    QObject::connect(&deviceCheck_, &QTimer::timeout, &signalContext_, [this] { CheckDevices(); });
}

TQtAudioUtil::~TQtAudioUtil() {
    ReleaseSink();
    ReleaseSource();
}

void TQtAudioUtil::Play() {
    Stop();
    const QAudioDevice output = DefaultAudioOutput();
    if (output.isNull())
        Fail(QStringLiteral("没有可用的声音输出设备，无法播放声音。"));
    QString reason;
    const std::optional<PlayableWav> sound = ReadPlayableWav(fileName_, &reason);
    if (!sound)
        Fail(QStringLiteral("无法播放声音文件 %1：%2。").arg(fileName_, reason));
    if (!output.isFormatSupported(sound->format))
        Fail(QStringLiteral("声音输出设备不能播放声音文件 %1 的格式。").arg(fileName_));

    playing_.close();
    playing_.setData(sound->samples);
    playing_.open(QIODevice::ReadOnly);
    sink_ = new QAudioSink(output, sound->format, &signalContext_);
    sinkDevice_ = output;
    QObject::connect(sink_, &QAudioSink::stateChanged, &signalContext_, [this] { OnSinkState(); });
    soundMs_ = sound->format.durationForBytes(qint32(sound->samples.size())) / 1000;
    sincePlay_.start();
    deviceCheck_.start();
    sink_->start(&playing_);
    // A sink that fails at once has already been released by its state handler.
    if (!sink_ || sink_->state() == QAudio::StoppedState) {
        ReleaseSink();
        throw TAudioDeviceLost("无法打开声音输出设备。");
    }
    Report(AudioPlaying);
}

// A sink that runs out of data turns idle once the server has taken the last of it, which can
// be before it was heard: the end waits for the sound's length too. A sink merely starving
// while data is left also turns idle, and then it resumes by itself. Only an error stops it:
// Stop disconnects before stopping.
void TQtAudioUtil::OnSinkState() {
    const QAudio::State state = sink_->state();
    if (state == QAudio::StoppedState)
        EndPlayback(AudioDeviceLost);
    else if (state == QAudio::IdleState && playing_.atEnd())
        playEnd_.start(int(std::max<qint64>(0, soundMs_ - sincePlay_.elapsed())));
}

void TQtAudioUtil::PrepareRecord() {
    Stop();
    ReleaseSource();
    if (sampleSize_ != 16)
        Fail(QStringLiteral("只能录制 16 位的声音，不能录制 %1 位的。").arg(sampleSize_));
    const QAudioDevice input = DefaultAudioInput();
    if (input.isNull())
        Fail(QStringLiteral("没有可用的麦克风，无法录音。"));
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setChannelCount(1);
    format.setSampleRate(sampleRate_);
    if (!input.isFormatSupported(format))
        Fail(QStringLiteral("麦克风不能以每秒 %1 次、16 位、单声道录音。").arg(sampleRate_));
    source_ = new QAudioSource(input, format, &signalContext_);
    sourceDevice_ = input;
    source_->setBufferSize(format.bytesForDuration(ChunkMicroseconds));
}

void TQtAudioUtil::StartRecord() {
    if (!source_)
        PrepareRecord();
    recorded_.clear();
    recordedRate_ = source_->format().sampleRate();
    QObject::connect(source_, &QAudioSource::stateChanged, &signalContext_,
                     [this] { OnSourceState(); });
    QIODevice* data = source_->start();
    // A source that fails at once has already been released by its state handler.
    if (!source_ || !data || source_->state() == QAudio::StoppedState) {
        ReleaseSource();
        throw TAudioDeviceLost("无法打开麦克风。");
    }
    sourceData_ = data;
    deviceCheck_.start();
    QObject::connect(sourceData_, &QIODevice::readyRead, &signalContext_,
                     [this] { TakeRecorded(); });
    Report(AudioRecording);
}

// A source that Qt stopped on an error keeps what was recorded until then; Stop disconnects
// before stopping.
void TQtAudioUtil::OnSourceState() {
    if (source_->state() == QAudio::StoppedState)
        EndRecording(AudioDeviceLost);
}

void TQtAudioUtil::CheckDevices() {
    if (sink_ && !QMediaDevices::audioOutputs().contains(sinkDevice_))
        EndPlayback(AudioDeviceLost);
    else if (source_ && !QMediaDevices::audioInputs().contains(sourceDevice_))
        EndRecording(AudioDeviceLost);
}

void TQtAudioUtil::TakeRecorded() {
    if (!sourceData_)
        return;
    const QByteArray chunk = sourceData_->readAll();
    if (chunk.isEmpty())
        return;
    const qsizetype longest =
        qsizetype(SampleRate()) * (SampleSize() / 8) * LongestRecordingSeconds;
    recorded_ += chunk.left(std::max<qsizetype>(0, longest - recorded_.size()));
    MicLevelHub::Instance().Publish(PeakDbfs(chunk));
}

void TQtAudioUtil::Stop() {
    if (sink_)
        EndPlayback();
    else if (source_)
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
    ReleaseSink();
    if (status_ == AudioPlaying)
        Report(status);
}

void TQtAudioUtil::EndRecording(int status) {
    TakeRecorded();
    ReleaseSource();
    MicLevelHub::Instance().Publish(-std::numeric_limits<double>::infinity());
    if (status_ == AudioRecording)
        Report(status);
}

// Deleted later: the sink or source may be the sender of the signal being handled.
void TQtAudioUtil::ReleaseSink() {
    if (!sink_)
        return;
    QAudioSink* sink = sink_;
    sink_ = nullptr;
    playEnd_.stop();
    deviceCheck_.stop();
    QObject::disconnect(sink, nullptr, &signalContext_, nullptr);
    sink->stop();
    sink->deleteLater();
    playing_.close();
}

void TQtAudioUtil::ReleaseSource() {
    if (!source_)
        return;
    QAudioSource* source = source_;
    source_ = nullptr;
    if (sourceData_)
        QObject::disconnect(sourceData_, nullptr, &signalContext_, nullptr);
    sourceData_ = nullptr;
    deviceCheck_.stop();
    QObject::disconnect(source, nullptr, &signalContext_, nullptr);
    source->stop();
    source->deleteLater();
}

// Last in every caller: the handler may start the next playback or recording.
void TQtAudioUtil::Report(int status) {
    status_ = status;
    const StatusHandler handler = OnStatusChange;
    if (handler)
        handler(this, status);
}
