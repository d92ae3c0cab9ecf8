#include "recorder/SoundSources.h"

#include <pulse/pulseaudio.h>

#include <chrono>

namespace
{

// A server that does not answer within this time is taken for none; the menu must not hang.
constexpr auto kAnswerWait = std::chrono::seconds(2);
constexpr int kPollMicroseconds = 100000;

struct Asking {
    SoundSources found;
    int pending = 2; // the server's defaults and the list of inputs
};

void serverInfo(pa_context *, const pa_server_info *info, void *data)
{
    auto *asking = static_cast<Asking *>(data);
    if (info && info->default_source_name)
        asking->found.defaultName = QString::fromUtf8(info->default_source_name);
    --asking->pending;
}

void sourceInfo(pa_context *, const pa_source_info *info, int eol, void *data)
{
    auto *asking = static_cast<Asking *>(data);
    if (eol != 0) {
        --asking->pending;
        return;
    }
    if (info->monitor_of_sink == PA_INVALID_INDEX)
        asking->found.inputs.push_back({ QString::fromUtf8(info->name),
            QString::fromUtf8(info->description ? info->description : info->name) });
}

// Runs the loop until done() or the deadline; false at the deadline.
template <typename Done>
bool runUntil(pa_mainloop *loop, std::chrono::steady_clock::time_point deadline, Done done)
{
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (pa_mainloop_prepare(loop, kPollMicroseconds) < 0 || pa_mainloop_poll(loop) < 0
            || pa_mainloop_dispatch(loop) < 0)
            return false;
    }
    return true;
}

} // namespace

std::optional<SoundSources> listSoundInputs()
{
    const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
    pa_mainloop *loop = pa_mainloop_new();
    pa_context *context = pa_context_new(pa_mainloop_get_api(loop), "Tellvane Professional");
    std::optional<SoundSources> result;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        const auto settled = [context] {
            const pa_context_state_t state = pa_context_get_state(context);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        };
        if (runUntil(loop, deadline, settled)
            && pa_context_get_state(context) == PA_CONTEXT_READY) {
            Asking asking;
            pa_operation *server = pa_context_get_server_info(context, serverInfo, &asking);
            pa_operation *sources = pa_context_get_source_info_list(context, sourceInfo, &asking);
            if (server && sources
                && runUntil(loop, deadline, [&asking] { return asking.pending == 0; }))
                result = std::move(asking.found);
            // An answer still on its way must not reach the list once it is gone.
            for (pa_operation *operation : { server, sources }) {
                if (operation) {
                    pa_operation_cancel(operation);
                    pa_operation_unref(operation);
                }
            }
        }
        pa_context_disconnect(context);
    }
    if (context)
        pa_context_unref(context);
    pa_mainloop_free(loop);
    return result;
}
