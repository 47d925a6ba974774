#include "DocumentoInPDF.h"

#include "Interruzione.h"
#include "LettoreDocx.h"
#include "LettoreRtf.h"
#include "NomeLibero.h"
#include "TestoFormattato.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>

namespace {

std::optional<QByteArray> leggiFile(const QString& percorso, qint64 massimo)
{
    // Only regular files: opening a pipe would wait for a writer.
    QFile f(percorso);
    if (!QFileInfo(percorso).isFile() || !f.open(QIODevice::ReadOnly) || f.size() > massimo)
        return std::nullopt;
    QByteArray dati = f.read(massimo + 1);
    if (dati.size() > massimo || f.error() != QFile::NoError)
        return std::nullopt;
    return dati;
}

// An HTML page may use pictures and style sheets lying in its own folder
// (or below it) and nothing else: no other file of the user's is read on
// its behalf, and nothing is fetched from the network.
class PaginaHtml : public QTextDocument {
public:
    explicit PaginaHtml(const QString& cartella) : cartella_(QFileInfo(cartella).canonicalFilePath()) {}

protected:
    QVariant loadResource(int tipo, const QUrl& nome) override
    {
        // A refused picture is an empty one: given nothing, Qt would load the name itself.
        const QVariant rifiutata = tipo == QTextDocument::ImageResource ? QVariant(QImage(1, 1, QImage::Format_ARGB32_Premultiplied))
                                                                        : QVariant();
        if ((tipo != QTextDocument::ImageResource && tipo != QTextDocument::StyleSheetResource) || cartella_.isEmpty())
            return rifiutata;
        const QUrl risolto = baseUrl().resolved(nome);
        if (!risolto.isLocalFile())
            return rifiutata;
        const QString vero = QFileInfo(risolto.toLocalFile()).canonicalFilePath();
        if (vero.isEmpty() || !vero.startsWith(cartella_ + QLatin1Char('/')) || QFileInfo(vero).size() > DocumentoInPDF::kMassimoRisorsa)
            return rifiutata;
        if (tipo == QTextDocument::StyleSheetResource) {
            const auto foglio = leggiFile(vero, DocumentoInPDF::kMassimoTesto);
            return foglio ? QVariant(QString::fromUtf8(*foglio)) : QVariant();
        }
        QImageReader lettore(vero);
        const QImage immagine = lettore.read();
        return immagine.isNull() ? rifiutata : QVariant(immagine);
    }

private:
    QString cartella_;
};

void riempi(QTextDocument& documento, const TestoFormattato& testo)
{
    QTextCursor c(&documento);
    bool primo = true;
    for (const auto& p : testo.paragrafi) {
        QTextBlockFormat blocco;
        using A = TestoFormattato::Allineamento;
        blocco.setAlignment(p.allineamento == A::centro ? Qt::AlignHCenter
                            : p.allineamento == A::destra ? Qt::AlignRight
                            : p.allineamento == A::giustificato ? Qt::AlignJustify
                                                                : Qt::AlignLeft);
        if (primo)
            c.setBlockFormat(blocco);
        else
            c.insertBlock(blocco);
        primo = false;
        for (const auto& t : p.tratti) {
            QTextCharFormat f;
            f.setFontWeight(t.grassetto ? QFont::Bold : QFont::Normal);
            f.setFontItalic(t.corsivo);
            f.setFontUnderline(t.sottolineato);
            f.setFontStrikeOut(t.barrato);
            if (t.punti > 0)
                f.setFontPointSize(t.punti);
            c.insertText(t.testo, f);
        }
    }
}

// The document read into `documento`; false when it cannot be read.
bool leggi(QTextDocument& documento, const QString& percorso)
{
    switch (DocumentoInPDF::tipoDocumento(percorso)) {
    case DocumentoInPDF::Tipo::testo: {
        const auto dati = leggiFile(percorso, DocumentoInPDF::kMassimoTesto);
        if (!dati)
            return false;
        documento.setPlainText(QString::fromUtf8(*dati));
        return true;
    }
    case DocumentoInPDF::Tipo::html: {
        const auto dati = leggiFile(percorso, DocumentoInPDF::kMassimoTesto);
        if (!dati)
            return false;
        documento.setBaseUrl(QUrl::fromLocalFile(QFileInfo(percorso).absolutePath() + QLatin1Char('/')));
        documento.setHtml(QString::fromUtf8(*dati));
        return true;
    }
    case DocumentoInPDF::Tipo::rtf:
    case DocumentoInPDF::Tipo::rtfd: {
        // An RTFD is a folder holding its text as TXT.rtf.
        const bool cartella = DocumentoInPDF::tipoDocumento(percorso) == DocumentoInPDF::Tipo::rtfd;
        const auto dati = leggiFile(cartella ? percorso + QStringLiteral("/TXT.rtf") : percorso, LettoreRtf::kMassimoByte);
        const auto testo = dati ? LettoreRtf::leggi(*dati) : std::nullopt;
        if (!testo)
            return false;
        riempi(documento, *testo);
        return true;
    }
    case DocumentoInPDF::Tipo::docx: {
        const auto dati = leggiFile(percorso, LettoreDocx::kMassimoPacchetto);
        const auto testo = dati ? LettoreDocx::leggi(*dati) : std::nullopt;
        if (!testo)
            return false;
        riempi(documento, *testo);
        return true;
    }
    case DocumentoInPDF::Tipo::doc:
        return false;
    }
    return false;
}

} // namespace

DocumentoInPDF::Tipo DocumentoInPDF::tipoDocumento(const QString& percorso)
{
    const QString e = QFileInfo(percorso).suffix().toLower();
    if (e == QLatin1String("rtf"))
        return Tipo::rtf;
    if (e == QLatin1String("rtfd"))
        return Tipo::rtfd;
    if (e == QLatin1String("html") || e == QLatin1String("htm"))
        return Tipo::html;
    if (e == QLatin1String("doc"))
        return Tipo::doc;
    if (e == QLatin1String("docx"))
        return Tipo::docx;
    return Tipo::testo;
}

std::optional<QString> DocumentoInPDF::converti(const QString& percorso, const QString& cartella, const Interruzione& stop)
{
    PaginaHtml documento(QFileInfo(percorso).absolutePath());
    QFont carattere = documento.defaultFont();
    carattere.setPointSizeF(12);
    documento.setDefaultFont(carattere);
    if (!leggi(documento, percorso) || stop.richiesta())
        return std::nullopt;

    auto nome = NomeLibero::riserva(cartella, QFileInfo(percorso).completeBaseName(), QStringLiteral("pdf"));
    if (!nome)
        return std::nullopt;
    {
        QPdfWriter pdf(nome->temporaneo());
        pdf.setCreator(QStringLiteral("Halvora"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(kMargine, kMargine, kMargine, kMargine), QPageLayout::Point));
        // The page is split here, not by QTextDocument::print, which adds margins of its own.
        documento.documentLayout()->setPaintDevice(&pdf);
        documento.setDocumentMargin(0);
        const QSizeF area = pdf.pageLayout().paintRectPixels(pdf.resolution()).size();
        documento.setPageSize(area);
        QPainter pittore;
        if (!pittore.begin(&pdf))
            return std::nullopt;
        const int pagine = qMax(1, documento.pageCount());
        for (int i = 0; i < pagine; ++i) {
            if (stop.richiesta())
                return std::nullopt;
            if (i > 0 && !pdf.newPage())
                return std::nullopt;
            pittore.save();
            pittore.translate(0, -i * area.height());
            documento.drawContents(&pittore, QRectF(QPointF(0, i * area.height()), area));
            pittore.restore();
        }
        if (!pittore.end())
            return std::nullopt;
    }
    if (QFileInfo(nome->temporaneo()).size() == 0)
        return std::nullopt;
    return nome->conferma();
}
