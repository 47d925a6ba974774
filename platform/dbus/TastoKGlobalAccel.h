#pragma once

#include "TastoGlobale.h"

#include <QDBusConnection>
#include <QDBusObjectPath>

// Control+Alt+N as a global shortcut of KDE's global accelerator service
// (kglobalaccel, inside KWin on Plasma's Wayland session): registered as an
// action of our own component, pressed as that component's signal. The
// service answers later: a combination held by another component comes as
// `rifiutata`; one the user set for our action in the system settings is
// kept and shown.
class TastoKGlobalAccel final : public TastoGlobale {
    Q_OBJECT
public:
    explicit TastoKGlobalAccel(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    bool registra() override;
    void rilascia() override;
    QString combinazione() const override { return combinazione_; }

    static inline const QString kComponente = QStringLiteral("halvora");
    static inline const QString kAzione = QStringLiteral("apri-chiudi");

private slots:
    void premutoDalServizio(const QString& componente, const QString& azione, qlonglong tempo);
    void cambiataDaUtente(const QStringList& azione, const QList<int>& tasti);

private:
    void seguiComponente(const QDBusObjectPath& percorso);
    void aggiornaCombinazione(const QList<int>& tasti);

    QDBusConnection bus_;
    QString componente_;
    QString combinazione_ = TastoGlobale::combinazione();
    // Bumped by every registration and release, so a late answer to an older one is dropped.
    int giro_ = 0;
};
