#include "DiagnosticaDati.h"

#include "AreaSchede.h"
#include "BarraSchede.h"
#include "ClipboardManager.h"
#include "NotchStateManager.h"
#include "RootNotchView.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>

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

} // namespace

void attivaDiagnosticaDati(RootNotchView& root, NotchStateManager& stato, std::function<void(const QString&)> scrivi)
{
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
    QObject::connect(&stato, &NotchStateManager::activeTabChanged, &root, [&root, &stato, scrivi] {
        auto* area = root.findChild<AreaSchede*>();
        QWidget* modulo = area ? area->modulo() : nullptr;
        if (!modulo)
            return;
        const QString riga = QStringLiteral("disegnata scheda ") + QLatin1String(nomeScheda(stato.activeTab()));
        new PrimoDisegno(modulo, [scrivi, riga] { scrivi(riga); });
    });
}
