#include "PersistenzaVassoio.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTextBoundaryFinder>
#include <QUuid>
#include <functional>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace PersistenzaVassoio {
namespace {

// Folders nested deeper than this are refused rather than walked.
constexpr int kProfonditaMassima = 256;
// Attempts at a free name before a new file gives up.
constexpr int kTentativiNome = 16;

QByteArray locale(const QString& percorso) { return QFile::encodeName(percorso); }

bool copiaVoce(const QString& da, const QString& a, int profondita);

// A plain byte copy. No sync per file: the copy lands in a hidden folder
// that only becomes visible, by one rename, when all of it is there.
bool copiaFile(const QString& da, const QString& a)
{
    QFile sorgente(da);
    QFile destinazione(a);
    if (!sorgente.open(QIODevice::ReadOnly) || !destinazione.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    QByteArray blocco(qBound(qint64(4096), sorgente.size(), qint64(1) << 20), Qt::Uninitialized);
    for (;;) {
        const qint64 letti = sorgente.read(blocco.data(), blocco.size());
        if (letti < 0)
            return false;
        if (letti == 0)
            break;
        if (destinazione.write(blocco.constData(), letti) != letti)
            return false;
    }
    return destinazione.flush() && destinazione.setPermissions(sorgente.permissions() | QFile::WriteOwner);
}

bool copiaCartella(const QString& da, const QString& a, int profondita)
{
    if (profondita > kProfonditaMassima)
        return false;
    const QFile::Permissions permessi = QFileInfo(da).permissions();
    if (!QDir().mkdir(a))
        return false;
    const QStringList voci =
        QDir(da).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& voce : voci)
        if (!copiaVoce(da + QLatin1Char('/') + voce, a + QLatin1Char('/') + voce, profondita + 1))
            return false;
    // The copy stays the user's to change and to delete.
    QFile::setPermissions(a, permessi | QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

// One entry inside a dropped folder: links stay links (so nothing outside
// the folder is read and no cycle can form), pipes and devices are left out.
bool copiaVoce(const QString& da, const QString& a, int profondita)
{
    struct stat st {};
    if (::lstat(locale(da).constData(), &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode)) {
        QByteArray destinazione(st.st_size > 0 ? st.st_size + 1 : 4096, '\0');
        const ssize_t n = ::readlink(locale(da).constData(), destinazione.data(), destinazione.size());
        if (n < 0 || n >= destinazione.size())
            return false;
        destinazione.truncate(n);
        return ::symlink(destinazione.constData(), locale(a).constData()) == 0;
    }
    if (S_ISDIR(st.st_mode))
        return copiaCartella(da, a, profondita);
    if (S_ISREG(st.st_mode))
        return copiaFile(da, a);
    return true;
}

// The dropped item itself: a link is followed once, so the tray holds the
// content rather than a pointer at the user's file.
bool copiaRadice(const QString& da, const QString& a)
{
    struct stat st {};
    if (::stat(locale(da).constData(), &st) != 0)
        return false;
    if (S_ISREG(st.st_mode))
        return copiaFile(da, a);
    if (S_ISDIR(st.st_mode))
        return copiaCartella(da, a, 0);
    return false;
}

// True when copying `sorgente` would walk into the tray itself.
bool contieneTray(const QString& sorgente, const QString& tray)
{
    const QString s = QFileInfo(sorgente).canonicalFilePath();
    const QString t = QFileInfo(tray).canonicalFilePath();
    if (s.isEmpty() || t.isEmpty())
        return false;
    return s == QLatin1String("/") || t == s || t.startsWith(s + QLatin1Char('/'));
}

// Writes <tray>/<UUID>/<nome> through `scrivi`, into a hidden folder first
// that is renamed to its UUID only when everything is there: a failure or
// a kill leaves no empty or partial copy in the tray.
std::optional<QString> inNuovaCartella(const QString& tray, const QString& nome,
                                       const std::function<bool(const QString& destinazione)>& scrivi)
{
    const QString uuid = nuovoUuid();
    const QString preparazione = tray + QStringLiteral("/.parziale-") + uuid;
    if (!QDir().mkdir(preparazione))
        return std::nullopt;
    const QString finale = tray + QLatin1Char('/') + uuid;
    if (!scrivi(preparazione + QLatin1Char('/') + nome)
        || ::rename(locale(preparazione).constData(), locale(finale).constData()) != 0) {
        QDir(preparazione).removeRecursively();
        return std::nullopt;
    }
    return finale + QLatin1Char('/') + nome;
}

std::optional<QString> copiaInNuovaCartella(const QString& sorgente, const QString& nome, const QString& tray)
{
    if (contieneTray(sorgente, tray))
        return std::nullopt;
    return inNuovaCartella(tray, nome, [&](const QString& destinazione) { return copiaRadice(sorgente, destinazione); });
}

// Writes `dati` under the first free name that `nome(tentativo)` gives.
// The bytes go to a hidden temporary file first; link() then publishes it
// only if the name is still free, so a new file never replaces another and
// nobody sees it half written.
std::optional<QString> scriviNuovo(const QString& cartella, const std::function<QString(int)>& nome,
                                   const QByteArray& dati, int tentativi = kTentativiNome)
{
    QTemporaryFile temporaneo(cartella + QStringLiteral("/.scrittura-XXXXXX"));
    if (!temporaneo.open() || temporaneo.write(dati) != dati.size() || !temporaneo.flush())
        return std::nullopt;
    temporaneo.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    for (int i = 0; i < tentativi; ++i) {
        const QString destinazione = cartella + QLatin1Char('/') + nome(i);
        if (::link(locale(temporaneo.fileName()).constData(), locale(destinazione).constData()) == 0)
            return destinazione;
        if (errno == EEXIST)
            continue;
        if (errno != EPERM && errno != EOPNOTSUPP)
            return std::nullopt;
        // File systems without hard links: an exclusive create does the same.
        QFile f(destinazione);
        if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (f.exists())
                continue;
            return std::nullopt;
        }
        if (f.write(dati) == dati.size() && f.flush())
            return destinazione;
        f.remove();
        return std::nullopt;
    }
    return std::nullopt;
}

QString xmlEscape(const QString& s) { return s.toHtmlEscaped().replace(QStringLiteral("&quot;"), QStringLiteral("\"")); }

QString primiCaratteri(const QString& s, int quanti)
{
    QTextBoundaryFinder confini(QTextBoundaryFinder::Grapheme, s);
    int contati = 0;
    while (contati < quanti && confini.toNextBoundary() != -1)
        ++contati;
    return confini.position() == -1 ? s : s.left(confini.position());
}

} // namespace

QString nuovoUuid() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

QString nomeSicuro(const QString& nome)
{
    const QStringList parti = nome.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString n = parti.isEmpty() ? QString() : parti.last();
    n.replace(QChar(u'\0'), QLatin1Char('-'));
    if (n == QLatin1String(".") || n == QLatin1String(".."))
        return {};
    return n;
}

std::optional<QUrl> webURL(const QString& s)
{
    const QUrl u(s.trimmed(), QUrl::TolerantMode);
    if (!u.isValid())
        return std::nullopt;
    const QString schema = u.scheme().toLower();
    if ((schema != QLatin1String("http") && schema != QLatin1String("https")) || u.host().isEmpty())
        return std::nullopt;
    return u;
}

QByteArray contenutoWebloc(const QString& link)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                          "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                          "<plist version=\"1.0\">\n"
                          "<dict>\n"
                          "\t<key>URL</key>\n"
                          "\t<string>%1</string>\n"
                          "</dict>\n"
                          "</plist>\n")
        .arg(xmlEscape(link))
        .toUtf8();
}

QString nomeTesto(const QString& testoRifilato)
{
    static const QRegularExpression finiRiga(QStringLiteral("[\\n\\r\\x{2028}\\x{2029}\\x{85}]"));
    static const QRegularExpression separatori(QStringLiteral("[/:\\\\]"));
    static const QRegularExpression bordi(QStringLiteral("^[ \\t]+|[ \\t]+$"));
    const qsizetype fine = testoRifilato.indexOf(finiRiga);
    QString titolo = fine < 0 ? testoRifilato : testoRifilato.left(fine);
    titolo.replace(separatori, QStringLiteral("-"));
    titolo.remove(bordi);
    titolo.replace(QChar(u'\0'), QLatin1Char('-'));
    if (titolo.isEmpty())
        return QCoreApplication::translate("Halvora", "Testo");
    return primiCaratteri(titolo, 40);
}

std::optional<QString> persistFileURL(const QUrl& sorgente, const QString& tray)
{
    if (!sorgente.isLocalFile())
        return std::nullopt;
    const QString percorso = QDir::cleanPath(sorgente.toLocalFile());
    const QString nome = nomeSicuro(QFileInfo(percorso).fileName());
    if (nome.isEmpty())
        return std::nullopt;
    return copiaInNuovaCartella(percorso, nome, tray);
}

std::optional<QString> persistRappresentazione(const QString& temporaneo, const QString& nomeSuggerito,
                                               const QString& tray)
{
    const QFileInfo tmp(temporaneo);
    QString nome = nomeSicuro(nomeSuggerito);
    if (nome.isEmpty())
        nome = nomeSicuro(tmp.fileName());
    if (nome.isEmpty())
        return std::nullopt;
    if (QFileInfo(nome).suffix().isEmpty() && !tmp.suffix().isEmpty())
        nome += QLatin1Char('.') + tmp.suffix();
    return copiaInNuovaCartella(temporaneo, nome, tray);
}

std::optional<QString> persistWebLink(const QUrl& link, const QString& tray)
{
    const auto u = webURL(link.toString(QUrl::FullyEncoded));
    if (!u)
        return std::nullopt;
    QString nome = u->host();
    nome.replace(QLatin1Char('/'), QLatin1Char('-'));
    nome = nomeSicuro(nome);
    if (nome.isEmpty())
        nome = QStringLiteral("link");
    return scriviNuovo(
        tray,
        [&](int i) {
            return i == 0 ? nome + QStringLiteral(".webloc")
                          : nome + QLatin1Char('-') + nuovoUuid().left(4) + QStringLiteral(".webloc");
        },
        contenutoWebloc(u->toString(QUrl::FullyEncoded)));
}

std::optional<QString> persistImage(const QImage& immagine, const QString& tray)
{
    if (immagine.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!immagine.save(&buffer, "PNG"))
        return std::nullopt;
    return scriviNuovo(tray, [](int) { return nuovoUuid() + QStringLiteral("_image.png"); }, png);
}

std::optional<QString> persistTesto(const QString& testo, const QString& tray)
{
    const QString rifilato = testo.trimmed();
    if (rifilato.isEmpty())
        return std::nullopt;
    const QString nome = nomeSicuro(nomeTesto(rifilato) + QStringLiteral(".txt"));
    return inNuovaCartella(tray, nome, [&](const QString& destinazione) {
        return scriviNuovo(QFileInfo(destinazione).path(), [&](int) { return nome; }, rifilato.toUtf8(), 1).has_value();
    });
}

} // namespace PersistenzaVassoio
