#include "SettingsManager.h"

#include "AvvioAlLogin.h"
#include "UserDefaults.h"

#include <QMetaEnum>

namespace {
using Preferenza = SettingsManager::Preferenza;

// Notification of each preference, in the enum's order.
constexpr std::array<void (SettingsManager::*)(), SettingsManager::kPreferenze> kSegnali = {
    &SettingsManager::mostraSchedaMediaChanged,     &SettingsManager::annunciaFileScaricatiChanged,
    &SettingsManager::mostraSchedaTimerChanged,     &SettingsManager::trascrizioneSoloSulMacChanged,
    &SettingsManager::mostraProssimoImpegnoChanged, &SettingsManager::mostraUsoIAChanged,
    &SettingsManager::scorciatoiaTaccaAttivaChanged, &SettingsManager::taccaDiscretaChanged,
};
} // namespace

QString SettingsManager::chiave(Preferenza p)
{
    return QString::fromLatin1(QMetaEnum::fromType<Preferenza>().valueToKey(static_cast<int>(p)));
}

bool SettingsManager::predefinito(Preferenza p)
{
    return p != Preferenza::trascrizioneSoloSulMac && p != Preferenza::taccaDiscreta;
}

SettingsManager::SettingsManager(UserDefaults& defaults, AvvioAlLogin& login, NotchGeometry::Posizione posizione,
                                 QObject* parent)
    : QObject(parent), defaults_(defaults), login_(login), posizione_(std::move(posizione))
{
    connect(&defaults_, &UserDefaults::salvataggioFallito, this, [this](const QString& motivo) {
        motivoNonSalvate_ = motivo;
        emit salvataggioChanged();
    });
    connect(&defaults_, &UserDefaults::salvataggioRiuscito, this, &SettingsManager::salvataggioChanged);
    for (int i = 0; i < kPreferenze; ++i)
        valori_[i] = predefinito(static_cast<Preferenza>(i));

    // In the order the store has always been read: the defaults that are true are
    // written first when missing, the false ones are only read.
    const Preferenza ordine[] = {Preferenza::mostraSchedaMedia,      Preferenza::annunciaFileScaricati,
                                 Preferenza::mostraSchedaTimer,      Preferenza::trascrizioneSoloSulMac,
                                 Preferenza::mostraProssimoImpegno,  Preferenza::mostraUsoIA,
                                 Preferenza::taccaDiscreta};
    for (Preferenza p : ordine) {
        const QString k = chiave(p);
        if (predefinito(p) && !defaults_.contains(k))
            defaults_.setValue(k, true);
        imposta(p, defaults_.boolValue(k, false));
    }
    // Anything but a stored Boolean means the hot key is on.
    imposta(Preferenza::scorciatoiaTaccaAttiva, defaults_.boolValue(chiave(Preferenza::scorciatoiaTaccaAttiva), true));

    // Only mirrored: registering or removing here would undo an entry the
    // user made, or report a failure nobody asked for on a first start.
    stoSincronizzando_ = true;
    setLaunchAtLogin(login_.registrato());
    stoSincronizzando_ = false;
    avvioAlLoginDisponibile_ = !NotchGeometry::isRunningFromTemporaryLocation(posizione_);
}

std::optional<QString> SettingsManager::nonSalvata(const QString& chiave) const
{
    if (!defaults_.nonSalvata(chiave))
        return std::nullopt;
    // A preference the file lacks reads as its default at the next start.
    for (int i = 0; i < kPreferenze; ++i) {
        const auto p = static_cast<Preferenza>(i);
        if (chiave == SettingsManager::chiave(p) && !defaults_.valoreSuDisco(chiave) && valore(p) == predefinito(p))
            return std::nullopt;
    }
    return motivoNonSalvate_;
}

void SettingsManager::imposta(Preferenza p, bool v)
{
    const int i = static_cast<int>(p);
    valori_[i] = v;
    defaults_.setValue(chiave(p), v);
    emit(this->*kSegnali[i])();
}

void SettingsManager::setLaunchAtLogin(bool v)
{
    launchAtLogin_ = v;
    emit launchAtLoginChanged();
    if (!stoSincronizzando_)
        applicaAvvioAlLogin();
}

void SettingsManager::applicaAvvioAlLogin()
{
    if (NotchGeometry::isRunningFromTemporaryLocation(posizione_))
        return;
    const std::optional<QString> errore = launchAtLogin_ ? login_.registra() : login_.annullaRegistrazione();
    if (!errore) {
        impostaErrore({});
        return;
    }
    impostaErrore(*errore);
    const bool reale = login_.registrato();
    if (reale != launchAtLogin_) {
        stoSincronizzando_ = true;
        setLaunchAtLogin(reale);
        stoSincronizzando_ = false;
    }
}

void SettingsManager::impostaErrore(const QString& testo)
{
    erroreAvvioAlLogin_ = testo;
    emit erroreAvvioAlLoginChanged();
}
