#include "SezionePrivacy.h"

#include "AppIcons.h"
#include "ClipboardManager.h"
#include "Colori.h"
#include "DesktopEntries.h"
#include "Disegno.h"
#include "ElementiImpostazioni.h"
#include "PulsanteSimbolo.h"
#include "RigaInterruttore.h"
#include "Riquadro.h"
#include "TrascrittoreAudio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QThreadPool>
#include <QVBoxLayout>

using namespace Impostazioni;

namespace {

constexpr int kLatoIcona = 14;

// One application the user keeps out of the clipboard history: its icon
// (the symbol of a user's exclusion when it has none), its name and its
// remove button.
class RigaApp final : public QWidget {
public:
    RigaApp(const QString& id, const QString& nome, const std::optional<QIcon>& icona, QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("rigaApp"));
        setProperty("idApp", id);
        auto* riga = new QHBoxLayout(this);
        riga->setContentsMargins(0, 0, 0, 0);
        riga->setSpacing(6);
        if (icona) {
            auto* immagine = new QLabel(this);
            immagine->setObjectName(QStringLiteral("iconaApp"));
            immagine->setFixedSize(kLatoIcona, kLatoIcona);
            immagine->setPixmap(icona->pixmap(QSize(kLatoIcona, kLatoIcona), devicePixelRatioF()));
            riga->addWidget(immagine);
        } else {
            riga->addWidget(new Etichetta({QStringLiteral("person.badge.key"), {}, {}, Disegno::secondario(), 11}, this));
        }
        riga->addWidget(new Etichetta({{}, nome, Riquadro::carattere(Riquadro::kDidascalia), Disegno::primario(), 0,
                                       Qt::AlignLeft, true},
                                      this),
                        1);
        rimuovi_ = new PulsanteSimbolo(QStringLiteral("minus.circle"), 11, Disegno::secondario(), this);
        rimuovi_->setAccessibleName(id);
        riga->addWidget(rimuovi_);
    }
    QAbstractButton* rimuovi() const { return rimuovi_; }

private:
    QAbstractButton* rimuovi_ = nullptr;
};

} // namespace

SezionePrivacy::SezionePrivacy(SettingsManager& settings, ClipboardManager* clipboard,
                               const DesktopEntries& applicazioni, QWidget* parent)
    : SezioneImpostazioni(tr("Privacy"), 8, parent), clipboard_(clipboard), applicazioni_(applicazioni)
{
    Riquadro* box = riquadro();
    auto* trascrizione = colonna(4);
    trascrizione->addWidget(interruttore(
        settings, tr("Trascrizione solo sul Mac"),
        tr("L'audio non lascia il computer, ma il riconoscimento offline sbaglia molto di piu'. Da spento, la "
           "trascrizione passa dai server di Apple come la dettatura di sistema."),
        "trascrizioneSoloSulMac"));
    auto* lingua = new Etichetta({QStringLiteral("globe"), tr("Lingua: ") + TrascrittoreAudio::nomeLinguaRiconoscimento(),
                                  didascalia(), Riquadro::terziario(), 10},
                                 this);
    lingua->setObjectName(QStringLiteral("linguaRiconoscimento"));
    trascrizione->addWidget(lingua);
    box->aggiungi(trascrizione);
    if (clipboard_)
        box->aggiungi(creaAppunti());
}

QLayout* SezionePrivacy::creaAppunti()
{
    auto* l = colonna(6);
    l->addWidget(new Etichetta({QStringLiteral("lock.shield"), tr("Privacy degli appunti"),
                                Riquadro::carattere(12, QFont::DemiBold), Disegno::primario(), 12},
                               this));
    l->addWidget(Riquadro::testo(
        tr("La cronologia non registra i contenuti che il sistema marca come riservati, ne' nulla di copiato mentre in "
           "primo piano c'e' una di queste app. Ogni copia viene inoltre confermata con una seconda lettura, perche' "
           "durante una scrittura il pasteboard puo' mostrarsi privo di marcatori."),
        didascalia(), Disegno::secondario(), this));
    auto* elenco = new QWidget(this);
    elenco->setObjectName(QStringLiteral("elencoApp"));
    elencoApp_ = new QVBoxLayout(elenco);
    elencoApp_->setContentsMargins(0, 0, 0, 0);
    elencoApp_->setSpacing(4);
    l->addWidget(elenco);
    auto* aggiungi = new Pulsante({QStringLiteral("plus.circle"), tr("Aggiungi un'app…"), didascalia(),
                                   Riquadro::leggibile(Colori::accento()), 11},
                                  this);
    aggiungi->setObjectName(QStringLiteral("aggiungiApp"));
    connect(aggiungi, &QAbstractButton::clicked, this, &SezionePrivacy::aggiungiApp);
    l->addWidget(aggiungi, 0, Qt::AlignLeft);
    connect(clipboard_, &ClipboardManager::appEscluseUtenteChanged, this, &SezionePrivacy::aggiornaAppEscluse);
    aggiornaAppEscluse();
    return l;
}

void SezionePrivacy::aggiornaAppEscluse()
{
    QWidget* elenco = elencoApp_->parentWidget();
    // Taken out of the tree now, deleted later: the row whose button is
    // being clicked may be among them.
    for (QWidget* vecchia : elenco->findChildren<QWidget*>(QStringLiteral("rigaApp"), Qt::FindDirectChildrenOnly)) {
        vecchia->hide();
        vecchia->setParent(nullptr);
        vecchia->deleteLater();
    }
    // The password managers excluded always are not listed: the explanation
    // above names them. The user's own by the name and icon of their entry.
    for (const QString& id : clipboard_->appEscluseUtente()) {
        const auto voce = applicazioni_.perId(id);
        const QString nome = voce && !voce->nome.isEmpty() ? voce->nome : id;
        auto* riga = new RigaApp(id, nome, voce ? AppIcons::iconaDi(*voce) : std::nullopt, elenco);
        connect(riga->rimuovi(), &QAbstractButton::clicked, this, [this, id] {
            if (clipboard_)
                clipboard_->rimuoviAppEsclusa(id);
        });
        elencoApp_->addWidget(riga);
    }
}

void SezionePrivacy::aggiungiApp()
{
    QPointer<SezionePrivacy> io(this);
    const std::optional<QString> percorso = sceltaFile_ ? sceltaFile_(this) : std::nullopt;
    // The page may have gone while the dialog was open.
    if (io && percorso)
        escludiFile(*percorso);
}

void SezionePrivacy::escludiFile(const QString& percorso)
{
    if (!percorso.endsWith(QLatin1String(".desktop")))
        return;
    // Another application's file: read on a worker, handed back here.
    QPointer<ClipboardManager> clipboard = clipboard_;
    QThreadPool::globalInstance()->start([clipboard, percorso] {
        const bool applicazione = DesktopEntries::leggi(percorso).has_value();
        QMetaObject::invokeMethod(QCoreApplication::instance(), [clipboard, percorso, applicazione] {
            if (applicazione && clipboard)
                clipboard->aggiungiAppEsclusa(idDesktop(percorso));
        });
    });
}

QString SezionePrivacy::idDesktop(const QString& percorso)
{
    const QString pulito = QDir::cleanPath(percorso);
    const QString cartella = QStringLiteral("/applications/");
    const int i = pulito.lastIndexOf(cartella);
    QString id = i >= 0 ? pulito.mid(i + cartella.size()) : pulito.section(QLatin1Char('/'), -1);
    id.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(static_cast<int>(qstrlen(".desktop")));
    return id;
}

std::optional<QString> SezionePrivacy::sceltaFileDiSistema(QWidget* genitore)
{
    QPointer<QFileDialog> dialogo =
        new QFileDialog(genitore, tr("Scegli un'app da cui non registrare mai gli appunti."),
                        QStringLiteral("/usr/share/applications"), QStringLiteral("*.desktop"));
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setFileMode(QFileDialog::ExistingFile);
    dialogo->setAcceptMode(QFileDialog::AcceptOpen);
    dialogo->setLabelText(QFileDialog::Accept, tr("Escludi"));
    dialogo->setWindowModality(Qt::ApplicationModal);
    dialogo->raise();
    dialogo->activateWindow();
    const bool scelto = dialogo->exec() == QDialog::Accepted;
    if (!dialogo)
        return std::nullopt;
    const QStringList file = dialogo->selectedFiles();
    delete dialogo.data();
    if (!scelto || file.isEmpty())
        return std::nullopt;
    return file.first();
}
