#include "IstanzaSingola.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

IstanzaSingola::IstanzaSingola(QString nome, QObject* parent) : QObject(parent), nome_(std::move(nome)) {}

IstanzaSingola::~IstanzaSingola()
{
    rilascia();
}

QString IstanzaSingola::nomePredefinito()
{
    QString display = qEnvironmentVariable("DISPLAY");
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    QString cartella = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (cartella.isEmpty() || !QDir(cartella).exists())
        cartella = QDir::tempPath();
    return QDir(cartella).filePath(QStringLiteral("halvora-%1-%2").arg(getuid()).arg(display));
}

bool IstanzaSingola::consegnaAllaPrimaIstanza(const QStringList& testi, int attesaMs)
{
    QLocalSocket s;
    s.connectToServer(nome_);
    if (!s.waitForConnected(attesaMs))
        return false;
    // Each text in UTF-8 ended by a NUL; the end of the connection ends the message.
    QByteArray dati;
    for (const QString& t : testi)
        dati += t.toUtf8() + '\0';
    s.write(dati);
    if (!dati.isEmpty() && !s.waitForBytesWritten(attesaMs))
        return false;
    s.disconnectFromServer();
    if (s.state() != QLocalSocket::UnconnectedState)
        s.waitForDisconnected(attesaMs);
    return true;
}

bool IstanzaSingola::diventaPrima()
{
    if (inAscolto())
        return true;
    delete server_;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &IstanzaSingola::accetta);
    if (server_->listen(nome_))
        return true;
    // Nobody answered on the socket, so the file is left over from a copy
    // that died: take its place.
    QLocalServer::removeServer(nome_);
    return server_->listen(nome_);
}

void IstanzaSingola::rilascia()
{
    if (!server_)
        return;
    server_->close();
    delete server_;
    server_ = nullptr;
}

bool IstanzaSingola::inAscolto() const
{
    return server_ && server_->isListening();
}

void IstanzaSingola::accetta()
{
    while (QLocalSocket* s = server_->nextPendingConnection()) {
        auto* dati = new QByteArray;
        connect(s, &QLocalSocket::readyRead, s, [s, dati] {
            *dati += s->readAll();
            if (dati->size() > kMassimoByte) {
                dati->clear();
                s->abort(); // not a launch of ours: drop it
            }
        });
        connect(s, &QLocalSocket::disconnected, this, [this, s, dati] {
            *dati += s->readAll();
            QStringList testi;
            if (dati->size() <= kMassimoByte) {
                const QList<QByteArray> parti = dati->split('\0');
                for (qsizetype i = 0; i + 1 < parti.size(); ++i) // the part after the last NUL is not a text
                    testi << QString::fromUtf8(parti[i]);
            }
            delete dati;
            s->deleteLater();
            if (!testi.isEmpty())
                emit testiRicevuti(testi);
        });
    }
}
