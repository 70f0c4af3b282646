#include "system/pulsedefaults.h"

#include <pulse/pulseaudio.h>

namespace {

constexpr pa_usec_t AnswerTimeout = 2 * PA_USEC_PER_SEC;

// The server's defaults come first; the default source's kind and the outputs are asked for
// then, and the answer is complete when both have come.
struct Query {
    pa_mainloop* loop = nullptr;
    PulseDefaults defaults;
    int pending = 0;
    bool failed = false;
};

void Answered(Query* query) {
    if (--query->pending == 0)
        pa_mainloop_quit(query->loop, query->failed ? 1 : 0);
}

void Ask(Query* query, pa_operation* operation) {
    if (!operation) {
        query->failed = true;
        return;
    }
    ++query->pending;
    pa_operation_unref(operation);
}

void OnSourceInfo(pa_context*, const pa_source_info* info, int eol, void* userdata) {
    auto* query = static_cast<Query*>(userdata);
    // A default the server no longer has is no microphone either.
    if (eol < 0 || (info && info->monitor_of_sink != PA_INVALID_INDEX))
        query->defaults.source.clear();
    if (eol != 0)
        Answered(query);
}

void OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    auto* query = static_cast<Query*>(userdata);
    if (eol < 0)
        query->failed = true;
    if (info)
        ++query->defaults.sinks;
    if (eol != 0)
        Answered(query);
}

void OnServerInfo(pa_context* context, const pa_server_info* info, void* userdata) {
    auto* query = static_cast<Query*>(userdata);
    if (!info) {
        pa_mainloop_quit(query->loop, 1);
        return;
    }
    if (info->default_sink_name)
        query->defaults.sink = info->default_sink_name;
    if (info->default_source_name)
        query->defaults.source = info->default_source_name;
    ++query->pending;
    if (!query->defaults.source.isEmpty())
        Ask(query, pa_context_get_source_info_by_name(context, info->default_source_name,
                                                      OnSourceInfo, query));
    Ask(query, pa_context_get_sink_info_list(context, OnSinkInfo, query));
    Answered(query);
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
    int result = 1;
    if (context) {
        pa_context_set_state_callback(context, OnContextState, &query);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            struct timeval deadline;
            pa_timeval_add(pa_gettimeofday(&deadline), AnswerTimeout);
            pa_time_event* timeout = api->time_new(api, &deadline, OnTimeout, &query);
            pa_mainloop_run(query.loop, &result);
            api->time_free(timeout);
        }
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(query.loop);
    if (result != 0)
        return std::nullopt;
    if (query.defaults.sinks == 0)
        query.defaults.sink.clear();
    return query.defaults;
}
