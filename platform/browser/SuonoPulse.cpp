#include "SuonoPulse.h"

#include <QElapsedTimer>
#include <pulse/pulseaudio.h>

namespace SuonoPulse {

namespace {

struct Raccolta {
    QList<Flusso> flussi;
    bool finita = false;
};

void suFlusso(pa_context*, const pa_sink_input_info* i, int fine, void* dati)
{
    auto* r = static_cast<Raccolta*>(dati);
    if (fine || !i) {
        r->finita = true;
        return;
    }
    Flusso f;
    f.fermo = i->corked != 0;
    if (const char* pid = pa_proplist_gets(i->proplist, PA_PROP_APPLICATION_PROCESS_ID))
        f.pid = QByteArray(pid).toLongLong();
    r->flussi << f;
}

} // namespace

std::optional<QList<Flusso>> flussi(int attesaMs)
{
    pa_mainloop* ciclo = pa_mainloop_new();
    if (!ciclo)
        return std::nullopt;
    pa_context* contesto = pa_context_new(pa_mainloop_get_api(ciclo), "halvora");
    std::optional<QList<Flusso>> esito;
    QElapsedTimer t;
    t.start();
    // One turn of the loop, never past the deadline.
    auto gira = [&] {
        const qint64 resto = attesaMs - t.elapsed();
        if (resto <= 0)
            return false;
        if (pa_mainloop_prepare(ciclo, int(resto * 1000)) < 0 || pa_mainloop_poll(ciclo) < 0
            || pa_mainloop_dispatch(ciclo) < 0)
            return false;
        return true;
    };
    if (contesto && pa_context_connect(contesto, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        bool pronto = false;
        for (;;) {
            const pa_context_state_t s = pa_context_get_state(contesto);
            if (s == PA_CONTEXT_READY) {
                pronto = true;
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(s) || !gira())
                break;
        }
        if (pronto) {
            Raccolta r;
            if (pa_operation* op = pa_context_get_sink_input_info_list(contesto, suFlusso, &r)) {
                while (!r.finita && pa_operation_get_state(op) == PA_OPERATION_RUNNING && gira()) {
                }
                pa_operation_unref(op);
            }
            if (r.finita)
                esito = r.flussi;
        }
        pa_context_disconnect(contesto);
    }
    if (contesto)
        pa_context_unref(contesto);
    pa_mainloop_free(ciclo);
    return esito;
}

std::optional<bool> suona(const std::optional<QList<Flusso>>& flussi, bool playerInRiproduzione,
                          const std::function<bool(qint64 pid)>& delBrowser)
{
    if (!flussi)
        return std::nullopt;
    if (!playerInRiproduzione)
        return false;
    for (const Flusso& f : *flussi)
        if (!f.fermo && f.pid > 0 && delBrowser(f.pid))
            return true;
    return false;
}

} // namespace SuonoPulse
