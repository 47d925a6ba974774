#pragma once

#include "TastoGlobale.h"

#include <QDBusConnection>
#include <QDBusObjectPath>

// Control+Alt+N as a global shortcut of KDE's global accelerator service
// (kglobalaccel, inside KWin on Plasma's Wayland session): registered as an
// action of our own component, pressed as that component's signal. The
// service answers later: a combination held by another component comes as
// `rifiutata`; one the user set for our action in the system settings is
// kept and shown. The service keeps a live action grabbed until it is told
// otherwise, also after the process is gone: `libera` makes it inactive
// (the user's combination stays for the next run), `rilascia` removes it.
class TastoKGlobalAccel final : public TastoGlobale {
    Q_OBJECT
public:
    explicit TastoKGlobalAccel(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    bool registra() override;
    bool rispondePiuTardi() const override { return true; }
    void rilascia() override;
    void libera() override;
    void liberaEAttendi(int ms) override;
    QString combinazione() const override { return combinazione_; }

    static inline const QString kComponente = QStringLiteral("halvora");
    static inline const QString kAzione = QStringLiteral("apri-chiudi");
    // Our action as the service names it: component, action, and the names
    // the system settings show, in the interface's language.
    static QStringList azione();

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
