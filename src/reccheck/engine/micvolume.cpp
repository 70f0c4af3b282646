#include "micvolume.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <pulse/pulseaudio.h>

namespace {

constexpr double ClippedStepDb = -6.0;

QString Percent(quint32 volume) {
    return QStringLiteral("%1 %").arg(qRound(100.0 * volume / NormalVolume));
}

// One connection to the sound server, driven by hand so that every wait has a deadline.
class TSoundServer {
public:
    explicit TSoundServer(const QDeadlineTimer& deadline)
        : FDeadline(deadline), FMainloop(pa_mainloop_new(), pa_mainloop_free) {
        if (FMainloop)
            FContext.reset(
                pa_context_new(pa_mainloop_get_api(FMainloop.get()), "parvelo microphone check"));
    }
    ~TSoundServer() {
        if (FContext)
            pa_context_disconnect(FContext.get());
    }

    // Connects without starting a server; false with a reason in FError when that fails.
    bool Connect() {
        if (!FContext) {
            FError = QStringLiteral("no sound server client");
            return false;
        }
        if (pa_context_connect(FContext.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            FError = LastError();
            return false;
        }
        const bool settled = WaitUntil([this] {
            const pa_context_state_t state = pa_context_get_state(FContext.get());
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        });
        if (settled && pa_context_get_state(FContext.get()) == PA_CONTEXT_READY)
            return true;
        FError = settled ? LastError() : QStringLiteral("timed out");
        return false;
    }

    // Runs an operation to its end; false with a reason in FError when it fails or times out.
    bool Complete(pa_operation* operation) {
        if (!operation) {
            FError = LastError();
            return false;
        }
        const bool settled = WaitUntil(
            [operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
        const bool done = settled && pa_operation_get_state(operation) == PA_OPERATION_DONE;
        if (!done)
            FError = settled ? LastError() : QStringLiteral("timed out");
        pa_operation_unref(operation);
        return done;
    }

    pa_context* Context() const { return FContext.get(); }
    const QString& Error() const { return FError; }

private:
    bool WaitUntil(const std::function<bool()>& settled) {
        while (!settled()) {
            const qint64 remainingMs = FDeadline.remainingTime();
            if (remainingMs <= 0)
                return false;
            pa_mainloop* const mainloop = FMainloop.get();
            if (pa_mainloop_prepare(mainloop, static_cast<int>(remainingMs * 1000)) < 0 ||
                pa_mainloop_poll(mainloop) < 0 || pa_mainloop_dispatch(mainloop) < 0)
                return false;
        }
        return true;
    }

    QString LastError() const {
        return QString::fromUtf8(pa_strerror(pa_context_errno(FContext.get())));
    }

    QDeadlineTimer FDeadline;
    std::unique_ptr<pa_mainloop, decltype(&pa_mainloop_free)> FMainloop;
    std::unique_ptr<pa_context, decltype(&pa_context_unref)> FContext{nullptr, pa_context_unref};
    QString FError;
};

void OnServerInfo(pa_context*, const pa_server_info* info, void* userdata) {
    if (info && info->default_source_name)
        *static_cast<QByteArray*>(userdata) = info->default_source_name;
}

void OnSourceInfo(pa_context*, const pa_source_info* info, int eol, void* userdata) {
    if (eol == 0 && info)
        *static_cast<pa_cvolume*>(userdata) = info->volume;
}

void OnSuccess(pa_context*, int success, void* userdata) {
    *static_cast<bool*>(userdata) = success != 0;
}

} // namespace

bool NeedsVolumeChange(double speechDb, bool clipped) {
    return clipped || speechDb < TargetSpeechLowDb || speechDb > TargetSpeechHighDb;
}

quint32 AdjustedSourceVolume(quint32 current, double speechDb, bool clipped) {
    if (!NeedsVolumeChange(speechDb, clipped))
        return current;
    double changeDb = (TargetSpeechLowDb + TargetSpeechHighDb) / 2 - speechDb;
    if (clipped)
        changeDb = std::min(changeDb, ClippedStepDb);
    // A silenced source has no level in dB to start from; the floor is the nearest one.
    const double currentDb = pa_sw_volume_to_dB(std::max(current, MinSourceVolume));
    const quint32 wanted = std::clamp<quint32>(pa_sw_volume_from_dB(currentDb + changeDb),
                                               MinSourceVolume, MaxSourceVolume);
    const bool wrongWay = changeDb > 0 ? wanted < current : wanted > current;
    return wrongWay ? current : wanted;
}

QString AdjustMicrophoneVolume(double speechDb, bool clipped) {
    if (!NeedsVolumeChange(speechDb, clipped))
        return QStringLiteral("volume kept: speech within %1..%2 dBFS")
            .arg(TargetSpeechLowDb)
            .arg(TargetSpeechHighDb);

    TSoundServer server{QDeadlineTimer(SoundServerTimeoutMs)};
    if (!server.Connect())
        return QStringLiteral("volume not adjusted: no sound server (%1)").arg(server.Error());

    QByteArray sourceName;
    if (!server.Complete(pa_context_get_server_info(server.Context(), OnServerInfo, &sourceName)))
        return QStringLiteral("volume not adjusted: %1").arg(server.Error());
    if (sourceName.isEmpty())
        return QStringLiteral("volume not adjusted: the sound server has no default source");

    pa_cvolume volume;
    pa_cvolume_init(&volume);
    if (!server.Complete(pa_context_get_source_info_by_name(
            server.Context(), sourceName.constData(), OnSourceInfo, &volume)) ||
        !pa_cvolume_valid(&volume))
        return QStringLiteral("volume not adjusted: source %1 unknown (%2)")
            .arg(QString::fromUtf8(sourceName), server.Error());

    const quint32 current = pa_cvolume_max(&volume);
    const quint32 adjusted = AdjustedSourceVolume(current, speechDb, clipped);
    const QString source = QString::fromUtf8(sourceName);
    if (adjusted == current)
        return QStringLiteral("volume of %1 kept at %2 (limit)").arg(source, Percent(current));

    pa_cvolume_scale(&volume, adjusted);
    bool accepted = false;
    if (!server.Complete(pa_context_set_source_volume_by_name(
            server.Context(), sourceName.constData(), &volume, OnSuccess, &accepted)) ||
        !accepted)
        return QStringLiteral("volume of %1 not changed from %2: %3")
            .arg(source, Percent(current), server.Error());
    return QStringLiteral("volume of %1 set from %2 to %3")
        .arg(source, Percent(current), Percent(adjusted));
}
