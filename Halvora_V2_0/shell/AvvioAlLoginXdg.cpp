#include "AvvioAlLoginXdg.h"

#include "SalvataggioSicuro.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

namespace {
const QString kNomeVoce = QStringLiteral("halvora.desktop");

// The value of `chiave=` in the [Desktop Entry] group, or nothing.
std::optional<QString> valoreVoce(const QString& testo, const QString& chiave)
{
    bool nelGruppo = false;
    const QString prefisso = chiave + QLatin1Char('=');
    for (const QString& grezza : testo.split(QLatin1Char('\n'))) {
        const QString riga = grezza.trimmed();
        if (riga.startsWith(QLatin1Char('[')))
            nelGruppo = riga == QLatin1String("[Desktop Entry]");
        else if (nelGruppo && riga.startsWith(prefisso))
            return riga.mid(prefisso.size()).trimmed();
    }
    return std::nullopt;
}
} // namespace

AvvioAlLoginXdg::AvvioAlLoginXdg(QString cartella, QString eseguibile)
    : cartella_(std::move(cartella)), eseguibile_(std::move(eseguibile))
{
}

AvvioAlLoginXdg AvvioAlLoginXdg::perUtente(const QString& eseguibile)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return AvvioAlLoginXdg(QDir(config).filePath(QStringLiteral("autostart")), eseguibile);
}

QString AvvioAlLoginXdg::percorsoVoce() const { return QDir(cartella_).filePath(kNomeVoce); }

bool AvvioAlLoginXdg::registrato() const
{
    // A cut-off save's temporary ends in .desktop too: the session could start it.
    SalvataggioSicuro::scartaAvanzi(percorsoVoce());
    QFile f(percorsoVoce());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString testo = QString::fromUtf8(f.readAll());
    if (valoreVoce(testo, QStringLiteral("Hidden")) == QLatin1String("true"))
        return false;
    return valoreVoce(testo, QStringLiteral("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

QString AvvioAlLoginXdg::comandoExec(const QString& eseguibile)
{
    // Quoted argument first, then the file format's own escapes on top.
    QString citato = QStringLiteral("\"");
    for (const QChar c : eseguibile) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            citato += QLatin1Char('\\');
        citato += c;
    }
    citato += QLatin1Char('"');
    QString valore;
    for (const QChar c : citato) {
        if (c == QLatin1Char('\\'))
            valore += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            valore += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            valore += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            valore += QStringLiteral("\\r");
        else if (c == QLatin1Char('%'))
            valore += QStringLiteral("%%");
        else
            valore += c;
    }
    return valore;
}

std::optional<QString> AvvioAlLoginXdg::registra()
{
    std::error_code ec;
    std::filesystem::create_directories(QFile::encodeName(cartella_).toStdString(), ec);
    if (ec)
        return QString::fromLocal8Bit(ec.message().c_str());
    const QString voce = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Halvora\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(comandoExec(eseguibile_));
    if (const auto errore = SalvataggioSicuro::salva(percorsoVoce(), voce.toUtf8()))
        return errore->testo();
    return std::nullopt;
}

std::optional<QString> AvvioAlLoginXdg::annullaRegistrazione()
{
    QFile f(percorsoVoce());
    // Nothing registered is what was asked for, not a failure.
    if (!f.exists())
        return std::nullopt;
    if (!f.remove())
        return f.errorString();
    return std::nullopt;
}
