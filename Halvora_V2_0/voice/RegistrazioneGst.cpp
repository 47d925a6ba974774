#include "RegistrazioneGst.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <gst/gst.h>
#include <memory>
#include <mutex>

namespace {

// The step running now on this thread, if any: every other pipeline is left alone.
struct Contesto {
    GstElement** tee = nullptr; // where to keep the microphone's tee
    const std::function<void()>* primoAudio = nullptr;
};
thread_local Contesto* inCorso = nullptr;

// GstFileSink's "buffer-mode" that writes every buffer at once.
constexpr int kSenzaAttesa = 2;
// Audio comes every few tens of milliseconds: longer, and none is coming.
constexpr auto kAttesaFermo = std::chrono::milliseconds(500);

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

// The microphone's audio standing still at the tee.
struct Fermo {
    std::mutex m;
    std::condition_variable cv;
    bool fermo = false;
};

GstPadProbeReturn trattieni(GstPad*, GstPadProbeInfo*, gpointer dati)
{
    auto& f = **static_cast<std::shared_ptr<Fermo>*>(dati);
    {
        std::lock_guard lock(f.m);
        f.fermo = true;
    }
    f.cv.notify_all();
    return GST_PAD_PROBE_OK; // held until the probe goes
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
    } else if (std::strcmp(nome, "tee") == 0 && inCorso->tee && !*inCorso->tee) {
        // The capture session's microphone flows into a tee first.
        *inCorso->tee = GST_ELEMENT(gst_object_ref(elemento));
        GstPad* ingresso = gst_element_get_static_pad(elemento, "sink");
        if (ingresso && inCorso->primoAudio && *inCorso->primoAudio)
            gst_pad_add_probe(
                ingresso, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST), primoBuffer,
                new Avviso{*inCorso->primoAudio, {}}, [](gpointer a) { delete static_cast<Avviso*>(a); });
        if (ingresso)
            gst_object_unref(ingresso);
    }
    return TRUE; // stays for the next recording
}

// Hooked once, on every bin of the process: Qt's interface offers no way
// to its pipelines.
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

void esegui(Contesto& contesto, const std::function<void()>& passo)
{
    inCorso = &contesto;
    passo();
    inCorso = nullptr;
}

} // namespace

RegistrazioneGst::~RegistrazioneGst()
{
    if (tee_)
        gst_object_unref(tee_);
}

bool RegistrazioneGst::aggiungiMicrofono(const std::function<void()>& passo, std::function<void()> primoAudio)
{
    if (!aggancia()) {
        passo();
        return false;
    }
    Contesto contesto{&tee_, &primoAudio};
    esegui(contesto, passo);
    return true;
}

void RegistrazioneGst::avviaRegistrazione(const std::function<void()>& passo)
{
    if (!aggancia()) {
        passo();
        return;
    }
    GstPad* ingresso = tee_ ? gst_element_get_static_pad(tee_, "sink") : nullptr;
    gulong sonda = 0;
    if (ingresso) {
        auto fermo = std::make_shared<Fermo>();
        sonda = gst_pad_add_probe(ingresso, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM, trattieni,
                                  new std::shared_ptr<Fermo>(fermo),
                                  [](gpointer f) { delete static_cast<std::shared_ptr<Fermo>*>(f); });
        // Once the audio stands at the probe, none is on its way into the tee.
        std::unique_lock lock(fermo->m);
        fermo->cv.wait_for(lock, kAttesaFermo, [&] { return fermo->fermo; });
    }
    Contesto contesto;
    esegui(contesto, passo);
    if (ingresso) {
        gst_pad_remove_probe(ingresso, sonda);
        gst_object_unref(ingresso);
    }
}
