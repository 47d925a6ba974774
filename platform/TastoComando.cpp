#include "TastoComando.h"

#include <QPointer>

TastoComando::TastoComando(QStringList comando, QObject* parent) : TastoGlobale(parent), comando_(std::move(comando))
{
    // One request at a time, in the order asked.
    lavoro_.setMaxThreadCount(1);
}

TastoComando::~TastoComando()
{
    lavoro_.waitForDone();
}

bool TastoComando::registra()
{
    lavoro_.start([this] {
        const std::optional<QString> presa = prendi();
        // Delivered unless this object is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, presa] {
                if (!presa) {
                    emit rifiutata();
                    return;
                }
                if (*presa != combinazione_) {
                    combinazione_ = *presa;
                    emit combinazioneCambiata();
                }
                emit accettata();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void TastoComando::rilascia()
{
    lavoro_.start([this] { lascia(true); });
}

void TastoComando::libera()
{
    lavoro_.start([this] { lascia(false); });
}

void TastoComando::liberaEAttendi(int ms)
{
    libera();
    // What is asked before it, a registration in flight included, goes first.
    lavoro_.waitForDone(ms);
}
