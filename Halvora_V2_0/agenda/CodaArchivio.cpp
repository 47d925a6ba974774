#include <glib.h>

#include "CodaArchivio.h"

#include <QThread>

CodaThread::CodaThread(const char* nome) : contesto_(g_main_context_new()), ciclo_(g_main_loop_new(contesto_, FALSE))
{
    thread_.reset(QThread::create([this] {
        g_main_context_push_thread_default(contesto_);
        g_main_loop_run(ciclo_);
        g_main_context_pop_thread_default(contesto_);
    }));
    thread_->setObjectName(QString::fromLatin1(nome));
    thread_->start();
}

CodaThread::~CodaThread()
{
    // Quitting as a job of its own lets the jobs before it finish.
    accoda([ciclo = ciclo_] { g_main_loop_quit(ciclo); });
    thread_->wait();
    g_main_loop_unref(ciclo_);
    g_main_context_unref(contesto_);
}

void CodaThread::accoda(std::function<void()> lavoro)
{
    using Lavoro = std::function<void()>;
    // Always a source of its own, never run on the spot, so jobs keep their order.
    GSource* s = g_idle_source_new();
    g_source_set_priority(s, G_PRIORITY_DEFAULT);
    g_source_set_callback(
        s,
        [](gpointer dati) -> gboolean {
            (*static_cast<Lavoro*>(dati))();
            return G_SOURCE_REMOVE;
        },
        new Lavoro(std::move(lavoro)), [](gpointer dati) { delete static_cast<Lavoro*>(dati); });
    g_source_attach(s, contesto_);
    g_source_unref(s);
}
