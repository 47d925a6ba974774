#include "DiagnosticaDati.h"

#include "AreaSchede.h"
#include "BarraSchede.h"
#include "ClipboardManager.h"
#include "Molla.h"
#include "NotchStateManager.h"
#include "RootNotchView.h"
#include "SlotScheda.h"
#include "TransizioneScheda.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <time.h>

namespace {

const char* nomeScheda(NotchTab tab)
{
    static const char* const nomi[] = {"media", "memo", "mirror", "clipboard", "pomodoro", "tray", "calendario"};
    return nomi[static_cast<int>(tab)];
}

// Tells of the first paint of one widget, once the event loop has finished it.
class PrimoDisegno final : public QObject {
public:
    PrimoDisegno(QWidget* vista, std::function<void()> dopo) : QObject(vista), dopo_(std::move(dopo))
    {
        vista->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) {
            o->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                dopo_();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> dopo_;
};

// Where the labelled buttons of the card under the closed notch are on
// screen, "pulsante x,y label" for each, every time the card shows: a
// script clicks them without knowing the card's layout.
class PulsantiCarta final : public QObject {
public:
    PulsantiCarta(QWidget* carta, std::function<void(const QString&)> scrivi)
        : QObject(carta), carta_(*carta), scrivi_(std::move(scrivi))
    {
        carta->installEventFilter(this);
        if (carta->isVisible())
            QTimer::singleShot(0, this, [this] { annota(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        // Once shown, the card stands where it is clicked.
        if (e->type() == QEvent::Show)
            QTimer::singleShot(0, this, [this] { annota(); });
        return false;
    }

private:
    void annota()
    {
        if (!carta_.isVisible())
            return;
        for (QAbstractButton* b : carta_.findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || b->text().isEmpty())
                continue;
            const QPoint c = b->mapToGlobal(b->rect().center());
            scrivi_(QStringLiteral("pulsante %1,%2 %3").arg(c.x()).arg(c.y()).arg(b->text()));
        }
    }

    QWidget& carta_;
    std::function<void(const QString&)> scrivi_;
};

// What each frame of the notch in motion draws, one line a frame, before it
// is painted: "quadro <microseconds of the real-time clock> <steps of the
// springs' beat so far> forma x y w h apertura a", then "modulo <tab> x y w
// h opacity" for each module of a tab change and "carta x y w h opacity"
// for each card coming or going, all in screen pixels. A frame like the
// last one at rest writes nothing.
class Quadri final : public QObject {
public:
    Quadri(RootNotchView& root, std::function<void(const QString&)> scrivi)
        : QObject(&root), root_(root), scrivi_(std::move(scrivi))
    {
        root.window()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::UpdateRequest)
            annota();
        return false;
    }

private:
    static QString rettangolo(const QRectF& r)
    {
        return QStringLiteral("%1 %2 %3 %4").arg(r.x(), 0, 'f', 3).arg(r.y(), 0, 'f', 3).arg(r.width(), 0, 'f', 3).arg(r.height(), 0, 'f', 3);
    }

    void annota()
    {
        const QPointF origine = root_.mapToGlobal(QPointF(0, 0));
        const QRectF forma = root_.rettangoloTacca().translated(origine);
        const double apertura = root_.opacitaContenuto();
        auto* area = root_.findChild<AreaSchede*>();
        const bool passaggi = area && area->isVisible() && !area->passaggi().isEmpty();
        // The frames of a card that animates in place (waves, pulses) write
        // nothing: a notch at rest is told from the last frame cheaply.
        if (!passaggi && root_.slot()->transizioni().isEmpty() && !ultimaInMoto_ && forma == ultimaForma_
            && apertura == ultimaApertura_)
            return;
        ultimaForma_ = forma;
        ultimaApertura_ = apertura;
        QString riga = QStringLiteral("forma ") + rettangolo(forma) + QStringLiteral(" apertura %1").arg(apertura, 0, 'f', 3);
        bool moto = false;
        if (passaggi) {
            const QPointF a = area->mapToGlobal(QPointF(0, 0));
            for (const AreaSchede::Passaggio& m : area->passaggi()) {
                riga += QStringLiteral(" modulo %1 ").arg(QLatin1String(nomeScheda(m.tab))) + rettangolo(m.dove.translated(a))
                        + QStringLiteral(" %1").arg(m.opacita, 0, 'f', 3);
                moto = true;
            }
        }
        for (TransizioneScheda* t : root_.slot()->transizioni()) {
            riga += QStringLiteral(" carta ") + rettangolo(t->rettangoloDisegnato().translated(origine))
                    + QStringLiteral(" %1").arg(t->opacita(), 0, 'f', 3);
            moto = true;
        }
        ultimaInMoto_ = moto;
        if (!moto && riga == ultima_)
            return;
        ultima_ = riga;
        timespec t{};
        clock_gettime(CLOCK_REALTIME, &t);
        scrivi_(QStringLiteral("quadro %1 %2 ").arg(qint64(t.tv_sec) * 1000000 + t.tv_nsec / 1000).arg(AnimatoreMolle::battiti())
                + riga);
    }

    RootNotchView& root_;
    std::function<void(const QString&)> scrivi_;
    QString ultima_;
    QRectF ultimaForma_;
    double ultimaApertura_ = -1;
    bool ultimaInMoto_ = false;
};

} // namespace

void attivaDiagnosticaDati(RootNotchView& root, NotchStateManager& stato, std::function<void(const QString&)> scrivi)
{
    new Quadri(root, scrivi);
    if (ClipboardManager* c = root.clipboardManager())
        // The count and the start of the newest entry: enough to tell copies apart.
        QObject::connect(c, &ClipboardManager::copiedItemsChanged, &root, [c, scrivi] {
            const QList<Appunto>& voci = c->voci();
            QString inizio = voci.isEmpty() ? QString() : voci.first().inizio(24);
            inizio.replace(QLatin1Char('\n'), QLatin1Char(' '));
            scrivi(QStringLiteral("appunti %1 %2").arg(voci.size()).arg(inizio).trimmed());
        });
    QObject::connect(&stato, &NotchStateManager::currentStateChanged, &root, [&root, &stato, scrivi] {
        auto* area = root.findChild<AreaSchede*>();
        if (stato.currentState() != NotchState::expanded || !area)
            return;
        QString riga = QStringLiteral("schede");
        for (int i = 0; i < BarraSchede::ordine().size(); ++i) {
            const QPoint centro = area->mapToGlobal(area->rettangoloTab(i).center());
            riga += QStringLiteral(" %1=%2,%3").arg(QLatin1String(nomeScheda(BarraSchede::ordine()[i])))
                        .arg(centro.x())
                        .arg(centro.y());
        }
        scrivi(riga);
    });
    // The slot takes the new card after telling of the change; the card
    // already there when this starts is watched too.
    auto osservaCarta = [&root, scrivi] {
        QTimer::singleShot(0, &root, [&root, scrivi] {
            QWidget* carta = root.slot()->scheda();
            if (!carta)
                return;
            for (QObject* o : carta->children())
                if (dynamic_cast<PulsantiCarta*>(o))
                    return; // a card brought back is watched already
            new PulsantiCarta(carta, scrivi);
        });
    };
    QObject::connect(&root, &RootNotchView::schedaCambiata, &root, osservaCarta);
    osservaCarta();
    QObject::connect(&stato, &NotchStateManager::activeTabChanged, &root, [&root, &stato, scrivi] {
        auto* area = root.findChild<AreaSchede*>();
        QWidget* modulo = area ? area->modulo() : nullptr;
        if (!modulo)
            return;
        const QString riga = QStringLiteral("disegnata scheda ") + QLatin1String(nomeScheda(stato.activeTab()));
        new PrimoDisegno(modulo, [scrivi, riga] { scrivi(riga); });
    });
}
