#include "ModuliPronti.h"

#include "Disegno.h"
#include "EffettoStrato.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace {
// A picture made ahead older than this may no longer show what its module does.
constexpr qint64 kFrescaMs = 400;
// Apart, so that warming up never holds more than one frame.
constexpr int kRiscaldoMs = 100;
} // namespace

ModuliPronti::ModuliPronti(QWidget* area, Misura misura)
    : QObject(area), area_(area), misura_(std::move(misura)), sosta_(new QTimer(this))
{
    // It watches every widget's paints and changes of layout.
    qApp->installEventFilter(this);
    sosta_->setSingleShot(true);
    sosta_->setInterval(kSostaMs);
    connect(sosta_, &QTimer::timeout, this, [this] {
        if (inSosta_)
            preparaOra(*inSosta_);
    });
}

ModuliPronti::~ModuliPronti()
{
    qApp->removeEventFilter(this);
}

void ModuliPronti::segui(QWidget* modulo, std::function<void(const QPixmap&)> nuova)
{
    seguiti_.removeIf([&](const Seguito& s) { return !s.modulo || s.modulo == modulo; });
    if (modulo && nuova)
        seguiti_.append({modulo, std::move(nuova)});
}

void ModuliPronti::ridisegnaSeguiti()
{
    ridisegnoInCoda_ = false;
    for (qsizetype i = 0; i < seguiti_.size(); ++i)
        if (seguiti_[i].modulo && std::exchange(seguiti_[i].cambiato, false)) {
            const Seguito s = seguiti_[i];
            s.nuova(disegna(s.modulo));
        }
}

void ModuliPronti::setCostruttore(Costruttore costruttore)
{
    costruttore_ = std::move(costruttore);
    scarta();
}

void ModuliPronti::nascondi(QWidget* modulo)
{
    // Far outside the area: shown, laid out and kept up to date, but never
    // painted nor under the pointer.
    modulo->move(-100000, -100000);
}

QWidget* ModuliPronti::costruisci(NotchTab tab)
{
    QWidget* m = costruttore_ ? costruttore_(tab) : nullptr;
    if (!m)
        return nullptr;
    m->setParent(area_);
    m->resize(misura_(tab, m));
    nascondi(m);
    m->show();
    return m;
}

QPixmap ModuliPronti::disegna(QWidget* modulo)
{
    disegnando_ = true;
    QPixmap p = Disegno::istantanea(modulo, modulo->size(), area_->devicePixelRatioF());
    disegnando_ = false;
    return p;
}

void ModuliPronti::sosta(std::optional<NotchTab> tab)
{
    inSosta_ = tab;
    sosta_->stop();
    if (!tab)
        return;
    if (tab != tabPronta_) {
        sosta_->start();
    } else if (pronto_.modulo && (!eta_.isValid() || eta_.elapsed() > kFrescaMs)) {
        // Made a while ago: drawn again, on a turn of its own.
        QTimer::singleShot(0, pronto_.modulo.data(), [this, m = pronto_.modulo] {
            if (m && pronto_.modulo == m)
                nuovaImmagine(disegna(m));
        });
    }
}

void ModuliPronti::preparaOra(NotchTab tab)
{
    scarta();
    tabPronta_ = tab;
    pronto_.modulo = costruisci(tab);
    if (!pronto_.modulo)
        return;
    // What it shows may still come in (a calendar that reads its events).
    segui(pronto_.modulo, [this](const QPixmap& p) { nuovaImmagine(p); });
    // Its picture on the next turn and the shown module's on the one after,
    // so that no turn holds two of them.
    QTimer::singleShot(0, pronto_.modulo.data(), [this, m = pronto_.modulo] {
        if (!m || pronto_.modulo != m)
            return;
        nuovaImmagine(disegna(m));
        QTimer::singleShot(0, this, [this] { foto(); });
    });
}

void ModuliPronti::nuovaImmagine(const QPixmap& immagine)
{
    pronto_.immagine = immagine;
    eta_.start();
}

std::optional<ModuliPronti::Pronto> ModuliPronti::prendi(NotchTab tab)
{
    if (tabPronta_ != tab || !pronto_.modulo)
        return std::nullopt;
    segui(pronto_.modulo, nullptr);
    Pronto p = std::move(pronto_);
    if (!eta_.isValid() || eta_.elapsed() > kFrescaMs)
        p.immagine = QPixmap();
    pronto_ = {};
    tabPronta_.reset();
    eta_.invalidate();
    return p;
}

void ModuliPronti::scarta()
{
    if (pronto_.modulo) {
        segui(pronto_.modulo, nullptr);
        pronto_.modulo->hide();
        pronto_.modulo->deleteLater();
    }
    pronto_ = {};
    tabPronta_.reset();
    eta_.invalidate();
}

QPixmap ModuliPronti::foto()
{
    QWidget* modulo = mostrato_;
    if (!modulo)
        return {};
    if (modulo != fotografato_ || !fotoValida_ || foto_.deviceIndependentSize() != QSizeF(modulo->size())) {
        fotografato_ = modulo;
        foto_ = disegna(modulo);
    }
    // Kept until the module paints anew.
    fotoValida_ = true;
    return foto_;
}

bool ModuliPronti::eventFilter(QObject* o, QEvent* e)
{
    if (!disegnando_)
        for (Seguito& s : seguiti_)
            if (cambiaAspettoDi(s.modulo, o, e)) {
                s.cambiato = true;
                if (!std::exchange(ridisegnoInCoda_, true))
                    QTimer::singleShot(0, this, &ModuliPronti::ridisegnaSeguiti);
            }
    if (e->type() == QEvent::Paint && fotoValida_ && !disegnando_ && dentroDi(fotografato_, o))
        fotoValida_ = false;
    return false;
}

void ModuliPronti::riscalda(NotchTab salvo)
{
    daRiscaldare_.clear();
    for (NotchTab t : kTutteLeSchede)
        if (t != salvo)
            daRiscaldare_ << t;
    auto* passo = new QTimer(this);
    passo->setInterval(kRiscaldoMs);
    connect(passo, &QTimer::timeout, this, [this, passo] {
        if (daRiscaldare_.isEmpty()) {
            passo->deleteLater();
            return;
        }
        // Made, drawn and gone within the turn.
        if (QWidget* m = costruisci(daRiscaldare_.takeFirst())) {
            disegna(m);
            delete m;
        }
    });
    passo->start();
}
