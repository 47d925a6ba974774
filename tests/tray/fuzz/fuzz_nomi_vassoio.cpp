// Fuzzes the names dropped items get in the tray. The input holds, split
// at NUL bytes, the name a source suggests, the suffix of the provider's
// temporary file, a dropped text and a dropped link. Whatever they say,
// each new file lies one folder deep inside the tray (or directly in it,
// for links), is whole, and replaces nothing.
#include "PersistenzaVassoio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cstddef>
#include <cstdint>

using namespace PersistenzaVassoio;

namespace {

QString tray;

// `percorso` is tray/<name> (profondita 0) or tray/<UUID>/<name> (1), and holds `atteso`.
void controllaFile(const std::optional<QString>& percorso, int profondita, const QByteArray& atteso)
{
    if (!percorso)
        return;
    const QFileInfo info(*percorso);
    QString cartella = info.absolutePath();
    if (profondita == 1) {
        if (QFileInfo(cartella).fileName().size() != 36)
            __builtin_trap();
        cartella = QFileInfo(cartella).absolutePath();
    }
    if (cartella != tray || QDir::cleanPath(*percorso) != *percorso || !info.isFile() || info.isSymLink())
        __builtin_trap();
    QFile f(*percorso);
    if (!f.open(QIODevice::ReadOnly) || (!atteso.isNull() && f.readAll() != atteso))
        __builtin_trap();
}

void controllaNome(const QString& nome, bool testo)
{
    if (nome.contains(QLatin1Char('/')) || nome.contains(QChar(u'\0')))
        __builtin_trap();
    // A text's title becomes <title>.txt, so "." is a name there.
    if (!testo && (nome == QLatin1String(".") || nome == QLatin1String("..")))
        __builtin_trap();
    if (testo && (nome.isEmpty() || nome.contains(QLatin1Char(':')) || nome.contains(QLatin1Char('\\'))
                  || nome.contains(QLatin1Char('\n')) || nome.contains(QLatin1Char('\r'))))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    static QTemporaryDir radice;
    tray = radice.filePath(QStringLiteral("Tray"));
    QDir(tray).removeRecursively();
    QDir().mkpath(tray);
    const QList<QByteArray> campi = QByteArray(reinterpret_cast<const char*>(dati), qsizetype(n)).split('\0');
    const QString nome = QString::fromUtf8(campi.value(0));
    const QString suffisso = QString::fromUtf8(campi.value(1));
    const QString testo = QString::fromUtf8(campi.value(2));
    const QString link = QString::fromUtf8(campi.value(3));

    controllaNome(nomeSicuro(nome), false);
    controllaNome(nomeTesto(testo.trimmed()), true);

    // The provider's temporary file lies outside the tray, as a drop's does.
    const QString fuori = radice.filePath(QStringLiteral("fuori"));
    QDir().mkpath(fuori);
    const QString temporaneo = fuori + QStringLiteral("/elemento") + (suffisso.isEmpty() ? QString() : QLatin1Char('.') + nomeSicuro(suffisso));
    QFile t(temporaneo);
    if (t.open(QIODevice::WriteOnly)) {
        t.write("contenuto");
        t.close();
        controllaFile(persistRappresentazione(temporaneo, nome, tray), 1, "contenuto");
        t.remove();
    }
    if (!testo.trimmed().isEmpty())
        controllaFile(persistTesto(testo, tray), 1, testo.trimmed().toUtf8());
    const auto u = webURL(link);
    if (u && (u->host().isEmpty() || (u->scheme().toLower() != QLatin1String("http") && u->scheme().toLower() != QLatin1String("https"))))
        __builtin_trap();
    // The same link twice: two files, the first never replaced.
    const auto primo = persistWebLink(QUrl(link), tray);
    const auto secondo = persistWebLink(QUrl(link), tray);
    controllaFile(primo, 0, QByteArray());
    controllaFile(secondo, 0, QByteArray());
    if (primo && secondo && *primo == *secondo)
        __builtin_trap();
    if (primo) {
        // The .webloc reads back as the property list it claims to be.
        QFile f(*primo);
        f.open(QIODevice::ReadOnly);
        QXmlStreamReader xml(&f);
        while (!xml.atEnd())
            xml.readNext();
        if (xml.hasError())
            __builtin_trap();
    }
    return 0;
}
