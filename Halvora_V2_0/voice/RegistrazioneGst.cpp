#include "RegistrazioneGst.h"

#include <atomic>
#include <cstring>
#include <gst/gst.h>

namespace {

// The step running now on this thread, if any: every other pipeline is left alone.
struct Passo {
    const std::function<void()>* primoAudio = nullptr;
};
thread_local Passo* inCorso = nullptr;

// GstFileSink's "buffer-mode" that writes every buffer at once.
constexpr int kSenzaAttesa = 2;

struct Avviso {
    std::function<void()> fatto;
    std::atomic_flag detto = ATOMIC_FLAG_INIT;
};

GstPadProbeReturn primoBuffer(GstPad*, GstPadProbeInfo*, gpointer dati)
{
    auto* avviso = static_cast<Avviso*>(dati);
    if (!avviso->detto.test_and_set())
        avviso->fatto();
    return GST_PAD_PROBE_REMOVE;
}

gboolean elementoAggiunto(GSignalInvocationHint*, guint quanti, const GValue* valori, gpointer)
{
    if (!inCorso || quanti < 2)
        return TRUE;
    auto* elemento = GST_ELEMENT(g_value_get_object(&valori[1]));
    GstElementFactory* fabbrica = elemento ? gst_element_get_factory(elemento) : nullptr;
    if (!fabbrica)
        return TRUE;
    const char* nome = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(fabbrica));
    if (std::strcmp(nome, "mp4mux") == 0 || std::strcmp(nome, "qtmux") == 0) {
        g_object_set(elemento, "fragment-duration", guint(RegistrazioneGst::kDurataFrammentoMs), nullptr);
    } else if (std::strcmp(nome, "filesink") == 0) {
        g_object_set(elemento, "buffer-mode", kSenzaAttesa, nullptr);
    } else if (std::strcmp(nome, "tee") == 0 && inCorso->primoAudio && *inCorso->primoAudio) {
        // The capture session's microphone flows into a tee first.
        if (GstPad* ingresso = gst_element_get_static_pad(elemento, "sink")) {
            gst_pad_add_probe(
                ingresso, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST), primoBuffer,
                new Avviso{*inCorso->primoAudio, {}}, [](gpointer a) { delete static_cast<Avviso*>(a); });
            gst_object_unref(ingresso);
        }
    }
    return TRUE; // stays for the next recording
}

// Hooked once, on every bin of the process: Qt's interface offers no way
// to its pipelines. GUI thread only.
bool aggancia()
{
    static bool agganciato = false;
    if (agganciato)
        return true;
    // QtMultimedia initialises GStreamer when it runs on it.
    if (!gst_is_initialized())
        return false;
    const guint segnale = g_signal_lookup("element-added", GST_TYPE_BIN);
    if (!segnale)
        return false;
    g_signal_add_emission_hook(segnale, 0, elementoAggiunto, nullptr, nullptr);
    agganciato = true;
    return true;
}

} // namespace

namespace RegistrazioneGst {

bool durante(const std::function<void()>& passo, std::function<void()> primoAudio)
{
    if (!aggancia()) {
        passo();
        return false;
    }
    Passo questo{&primoAudio};
    inCorso = &questo;
    passo();
    inCorso = nullptr;
    return true;
}

} // namespace RegistrazioneGst
