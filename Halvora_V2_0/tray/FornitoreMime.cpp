#include "FornitoreMime.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QThreadPool>

namespace {

// Formats that stand for a document of their own and are handed over as
// a file; text, images, URL lists and toolkit-private formats are read by
// the later steps instead.
bool eDocumento(const QString& formato)
{
    static const QStringList esclusi = {
        QStringLiteral("text/"),           QStringLiteral("image/"),         QStringLiteral("application/x-qt-"),
        QStringLiteral("application/x-moz-"), QStringLiteral("application/x-kde-"), QStringLiteral("x-special/"),
        QStringLiteral("chromium/"),
    };
    if (!formato.contains(QLatin1Char('/')))
        return false;
    for (const QString& e : esclusi)
        if (formato.startsWith(e))
            return false;
    return true;
}

class FornitoreMime final : public FornitoreElemento {
public:
    std::optional<QUrl> url;
    std::optional<QString> nome;
    QList<QPair<QString, QByteArray>> documenti;
    std::optional<QString> testo;
    QByteArray bytesImmagine;
    QImage immagine;

    bool conforme(Tipo tipo) const override
    {
        switch (tipo) {
        case Tipo::fileURL:
            return url && url->isLocalFile();
        case Tipo::url:
            return url.has_value();
        case Tipo::testo:
            return testo.has_value();
        case Tipo::immagine:
            return !bytesImmagine.isEmpty() || !immagine.isNull();
        }
        return false;
    }

    QStringList tipiRegistrati() const override
    {
        QStringList tipi;
        for (const auto& d : documenti)
            tipi << d.first;
        return tipi;
    }

    std::optional<QString> nomeSuggerito() const override { return nome; }

    void caricaElemento(Tipo tipo, std::function<void(QVariant)> risposta) override
    {
        QThreadPool::globalInstance()->start([this, tipo, risposta = std::move(risposta)] {
            if (!conforme(tipo))
                return risposta(QVariant());
            switch (tipo) {
            case Tipo::fileURL:
            case Tipo::url:
                return risposta(*url);
            case Tipo::testo:
                return risposta(*testo);
            case Tipo::immagine:
                if (!bytesImmagine.isEmpty())
                    return risposta(bytesImmagine);
                QByteArray png;
                QBuffer b(&png);
                b.open(QIODevice::WriteOnly);
                return risposta(immagine.save(&b, "PNG") ? QVariant(png) : QVariant());
            }
        });
    }

    void caricaRappresentazione(const QString& tipo, std::function<void(std::optional<QString>)> risposta) override
    {
        QThreadPool::globalInstance()->start([this, tipo, risposta = std::move(risposta)] {
            for (const auto& d : documenti) {
                if (d.first != tipo)
                    continue;
                QTemporaryDir cartella;
                const QString suffisso = QMimeDatabase().mimeTypeForName(tipo).preferredSuffix();
                QFile f(cartella.filePath(suffisso.isEmpty() ? QStringLiteral("elemento")
                                                             : QStringLiteral("elemento.") + suffisso));
                if (!cartella.isValid() || !f.open(QIODevice::WriteOnly) || f.write(d.second) != d.second.size())
                    return risposta(std::nullopt);
                f.close();
                return risposta(f.fileName());
            }
            risposta(std::nullopt);
        });
    }
};

} // namespace

DropManager::Fornitori fornitoriDaMime(const QMimeData& dati)
{
    DropManager::Fornitori fornitori;
    if (dati.hasUrls()) {
        for (const QUrl& u : dati.urls()) {
            if (!u.isValid())
                continue;
            auto f = std::make_shared<FornitoreMime>();
            f->url = u;
            fornitori << f;
        }
        return fornitori;
    }
    auto f = std::make_shared<FornitoreMime>();
    for (const QString& formato : dati.formats()) {
        if (eDocumento(formato))
            f->documenti.append({formato, dati.data(formato)});
        else if (formato.startsWith(QLatin1String("image/")) && f->bytesImmagine.isEmpty())
            f->bytesImmagine = dati.data(formato);
    }
    if (dati.hasText())
        f->testo = dati.text();
    // The name KDE applications give what they drag.
    if (const QByteArray nome = dati.data(QStringLiteral("application/x-kde-suggestedfilename")); !nome.isEmpty())
        f->nome = QString::fromUtf8(nome);
    if (f->bytesImmagine.isEmpty() && dati.hasImage())
        f->immagine = qvariant_cast<QImage>(dati.imageData());
    if (f->documenti.isEmpty() && !f->testo && !f->conforme(FornitoreElemento::Tipo::immagine))
        return fornitori;
    fornitori << f;
    return fornitori;
}
