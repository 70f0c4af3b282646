#include "reccheck/audiocontrols/pulsedefaults.h"

#include <pulse/pulseaudio.h>

namespace {

constexpr pa_usec_t AnswerTimeout = 2 * PA_USEC_PER_SEC;

struct Query {
    pa_mainloop* loop = nullptr;
    std::optional<PulseDefaults> answer;
};

void OnServerInfo(pa_context*, const pa_server_info* info, void* userdata) {
    auto* query = static_cast<Query*>(userdata);
    if (info) {
        PulseDefaults defaults;
        if (info->default_sink_name)
            defaults.sink = info->default_sink_name;
        if (info->default_source_name)
            defaults.source = info->default_source_name;
        query->answer = defaults;
    }
    pa_mainloop_quit(query->loop, 0);
}

void OnContextState(pa_context* context, void* userdata) {
    auto* query = static_cast<Query*>(userdata);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
        pa_operation* operation = pa_context_get_server_info(context, OnServerInfo, query);
        if (operation)
            pa_operation_unref(operation);
        else
            pa_mainloop_quit(query->loop, 1);
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        pa_mainloop_quit(query->loop, 1);
    }
}

void OnTimeout(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata) {
    pa_mainloop_quit(static_cast<Query*>(userdata)->loop, 1);
}

} // namespace

std::optional<PulseDefaults> QueryPulseDefaults() {
    Query query;
    query.loop = pa_mainloop_new();
    if (!query.loop)
        return std::nullopt;
    pa_mainloop_api* api = pa_mainloop_get_api(query.loop);
    pa_context* context = pa_context_new(api, "parvelo default devices");
    if (context) {
        pa_context_set_state_callback(context, OnContextState, &query);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            struct timeval deadline;
            pa_timeval_add(pa_gettimeofday(&deadline), AnswerTimeout);
            pa_time_event* timeout = api->time_new(api, &deadline, OnTimeout, &query);
            pa_mainloop_run(query.loop, nullptr);
            api->time_free(timeout);
        }
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(query.loop);
    return query.answer;
}
