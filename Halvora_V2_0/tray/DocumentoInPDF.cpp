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
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <limits>

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

// One page of the laid-out document. Every line belongs to the page where
// its top lies. A block that runs over a page break is drawn line by line
// on each of its pages (and so is any block beside it, as in a table row):
// drawn by the document, clipped, it would also write the text of its lines
// next to the clip. The document draws the rest, between `da` and `a`.
struct Pagina {
    struct Riga {
        QTextLine riga;
        QPointF origine; // of its block
        double cima;
        double fondoBlocco;
    };
    QRectF banda; // the document's lines on this page
    double da = -std::numeric_limits<double>::infinity();
    double a = std::numeric_limits<double>::infinity();
    QList<Riga> righe;

    QRectF disegnata() const
    {
        // Kept off its ends, so that no block beyond them is drawn.
        return QRectF(QPointF(banda.left(), qMax(banda.top(), da) + 0.5), QPointF(banda.right(), qMin(banda.bottom(), a) - 0.5));
    }
    bool aMano(const Riga& r) const { return r.cima < da || r.cima >= a; }

    // No block is left half to the document and half to its lines.
    void separa()
    {
        for (bool mosso = true; mosso;) {
            mosso = false;
            for (const Riga& r : std::as_const(righe)) {
                if (r.cima >= a && r.origine.y() < a) {
                    a = r.origine.y();
                    mosso = true;
                }
                if (r.cima < da && r.fondoBlocco > da) {
                    da = r.fondoBlocco;
                    mosso = true;
                }
            }
        }
    }
};

QList<Pagina> impagina(const QTextDocument& documento, double larghezza, double altezza)
{
    QList<Pagina> pagine(qMax(1, documento.pageCount()));
    const auto paginaDi = [&](double y) {
        return qBound(qsizetype(0), qsizetype(y / altezza), qsizetype(pagine.size() - 1));
    };
    for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
        const QTextLayout* disposizione = b.layout();
        if (!b.isVisible() || !disposizione || disposizione->lineCount() == 0)
            continue;
        const QRectF blocco = documento.documentLayout()->blockBoundingRect(b);
        const auto cima = [&](int i) { return blocco.top() + disposizione->lineAt(i).y(); };
        const qsizetype prima = paginaDi(cima(0));
        const qsizetype ultima = paginaDi(cima(disposizione->lineCount() - 1));
        for (int i = 0; i < disposizione->lineCount(); ++i) {
            const QTextLine riga = disposizione->lineAt(i);
            Pagina& sua = pagine[paginaDi(cima(i))];
            sua.banda |= QRectF(0, cima(i), larghezza, riga.height());
            sua.righe << Pagina::Riga{riga, blocco.topLeft(), cima(i), blocco.bottom()};
        }
        if (prima != ultima) {
            pagine[prima].a = qMin(pagine[prima].a, blocco.top());
            pagine[ultima].da = qMax(pagine[ultima].da, blocco.bottom());
            for (qsizetype p = prima + 1; p < ultima; ++p)
                pagine[p].a = -std::numeric_limits<double>::infinity();
        }
    }
    for (qsizetype i = 0; i < pagine.size(); ++i) {
        if (pagine[i].banda.isEmpty())
            pagine[i].banda = QRectF(0, i * altezza, larghezza, altezza);
        pagine[i].separa();
    }
    return pagine;
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
        const QList<Pagina> pagine = impagina(documento, area.width(), area.height());
        for (qsizetype i = 0; i < pagine.size(); ++i) {
            if (stop.richiesta())
                return std::nullopt;
            if (i > 0 && !pdf.newPage())
                return std::nullopt;
            const Pagina& p = pagine[i];
            pittore.save();
            pittore.translate(0, -i * area.height());
            // In reading order, as the page's text is read back: a broken
            // block ending here, the rest, a broken block starting here.
            const QRectF resto = p.disegnata();
            const auto righe = [&](bool sopra) {
                for (const Pagina::Riga& r : p.righe)
                    if (p.aMano(r) && (r.cima < resto.top()) == sopra)
                        r.riga.draw(&pittore, r.origine);
            };
            righe(true);
            if (resto.height() > 0)
                documento.drawContents(&pittore, resto);
            righe(false);
            pittore.restore();
        }
        if (!pittore.end())
            return std::nullopt;
    }
    if (QFileInfo(nome->temporaneo()).size() == 0)
        return std::nullopt;
    return nome->conferma();
}
