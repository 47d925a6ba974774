#pragma once

#include "ControlloBrowser.h"

#include <QMap>
#include <QMutex>
#include <QStringList>

// A browser for the notch video's tests: answers what the test sets and
// notes every command. The manager calls it from its worker threads, so
// every field is read and written under one lock.
class FakeControlloBrowser final : public ControlloBrowser {
public:
    struct Stato {
        PermessoAutomazione permesso = PermessoAutomazione::concesso;
        PermessoAutomazione dopoLaDomanda = PermessoAutomazione::concesso;
        QList<SchedaBrowser> schede;
        std::optional<MediaBrowser> media;
        SuonoBrowser suono = SuonoBrowser::nonSo;
        QMap<QString, QString> nomi;
    };

    void imposta(const std::function<void(Stato&)>& modifica)
    {
        QMutexLocker l(&m_);
        modifica(s_);
    }
    QStringList comandi() const
    {
        QMutexLocker l(&m_);
        return comandi_;
    }

    PermessoAutomazione permesso(const IstanzaBrowser&, bool chiedi) override
    {
        QMutexLocker l(&m_);
        if (chiedi)
            comandi_ << QStringLiteral("chiedi");
        return chiedi ? s_.dopoLaDomanda : s_.permesso;
    }
    QList<SchedaBrowser> schede(const IstanzaBrowser&) override
    {
        QMutexLocker l(&m_);
        return s_.schede;
    }
    std::optional<MediaBrowser> media(const IstanzaBrowser&) override
    {
        QMutexLocker l(&m_);
        return s_.media;
    }
    bool pausa(const IstanzaBrowser& b) override { return nota(QStringLiteral("pausa ") + b.desktopId); }
    bool riproduci(const IstanzaBrowser& b) override { return nota(QStringLiteral("riproduci ") + b.desktopId); }
    bool posiziona(const IstanzaBrowser&, double secondi) override
    {
        return nota(QStringLiteral("posiziona ") + QString::number(secondi, 'f', 2));
    }
    SuonoBrowser suona(const IstanzaBrowser&) override
    {
        QMutexLocker l(&m_);
        return s_.suono;
    }
    bool portaDavanti(const IstanzaBrowser& b) override { return nota(QStringLiteral("davanti ") + b.desktopId); }
    bool apri(const IstanzaBrowser&, const QUrl& url) override { return nota(QStringLiteral("apri ") + url.toString()); }
    QString nome(const QString& desktopId) const override
    {
        QMutexLocker l(&m_);
        return s_.nomi.value(desktopId, desktopId);
    }

private:
    bool nota(const QString& c)
    {
        QMutexLocker l(&m_);
        comandi_ << c;
        return true;
    }
    mutable QMutex m_;
    Stato s_;
    QStringList comandi_;
};
