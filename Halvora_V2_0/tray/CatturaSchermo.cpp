#include "CatturaSchermo.h"

#include "Aiutanti.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

CatturaSchermo::CatturaSchermo(Clock& clock, QString programma, QObject* parent)
    : QObject(parent), clock_(clock), programma_(std::move(programma))
{
}

CatturaSchermo::~CatturaSchermo()
{
    if (QProcess* p = processo_) {
        p->disconnect(this);
        p->kill();
        p->waitForFinished(1000);
        QFile::remove(ContrattoCattura::temporaneo(percorso_));
    }
}

QString CatturaSchermo::programmaPredefinito()
{
#ifdef HALVORA_CATTURA
    return Aiutanti::percorso(QStringLiteral("halvora-cattura"), QStringLiteral(HALVORA_CATTURA));
#else
    return Aiutanti::percorso(QStringLiteral("halvora-cattura"));
#endif
}

double CatturaSchermo::pausa(ScreenshotMode modo)
{
    return modo == ScreenshotMode::fullScreen ? 0.5 : 0.25;
}

bool CatturaSchermo::cattura(ScreenshotMode modo, const QString& percorso, std::function<void(bool)> fatto)
{
    // Two overlays would fight over pointer and keyboard.
    if (inCorso_)
        return false;
    inCorso_ = true;
    percorso_ = percorso;
    fatto_ = std::move(fatto);
    pausa_ = clock_.singleShot(pausa(modo), [this, modo] { avviaAiutante(modo); });
    return true;
}

void CatturaSchermo::avviaAiutante(ScreenshotMode modo)
{
    auto* p = new QProcess(this);
    p->setProgram(programma_);
    p->setArguments(ContrattoCattura::argomenti({modo, percorso_, QCoreApplication::applicationPid()}));
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(p, &QProcess::finished, this, [this, p](int codice, QProcess::ExitStatus stato) {
        p->deleteLater();
        termina(stato == QProcess::NormalExit && codice == ContrattoCattura::salvato
                && QFileInfo::exists(percorso_));
    });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        p->deleteLater();
        termina(false);
    });
    processo_ = p;
    p->start();
}

void CatturaSchermo::termina(bool salvato)
{
    // A helper killed half way leaves its temporary picture behind, and one
    // that breaks the contract may leave a picture it did not call saved:
    // neither may come back in the tray at the next start.
    if (!salvato) {
        QFile::remove(ContrattoCattura::temporaneo(percorso_));
        QFile::remove(percorso_);
    }
    processo_ = nullptr;
    inCorso_ = false;
    auto fatto = std::move(fatto_);
    fatto_ = nullptr;
    if (fatto)
        fatto(salvato);
}
