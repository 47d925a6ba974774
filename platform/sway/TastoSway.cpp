#include "TastoSway.h"

#include "SwayIpc.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace {

// Our binding; the same flags name it when it is removed.
const QString kCombinazione = QStringLiteral("--no-repeat Ctrl+Mod1+n");

// A modifier in one of the names sway accepts, in one spelling.
QString modificatore(const QString& nome)
{
    const QString n = nome.toLower();
    if (n == QLatin1String("ctrl") || n == QLatin1String("control"))
        return QStringLiteral("ctrl");
    if (n == QLatin1String("mod1") || n == QLatin1String("alt"))
        return QStringLiteral("alt");
    if (n == QLatin1String("mod4") || n == QLatin1String("super") || n == QLatin1String("logo"))
        return QStringLiteral("super");
    return n;
}

// The variables of `set $nome valore` lines, replaced in `testo`, longest names first as sway does.
QString sostituisci(QString testo, const QList<std::pair<QString, QString>>& variabili)
{
    for (const auto& [nome, valore] : variabili)
        testo.replace(nome, valore);
    return testo;
}

bool riuscito(const std::optional<QJsonDocument>& risposta)
{
    return risposta && risposta->isArray() && !risposta->array().isEmpty()
           && risposta->array().first().toObject().value(QLatin1String("success")).toBool();
}

} // namespace

TastoSway::TastoSway(QString socket, QStringList comando, QString nota, QObject* parent)
    : TastoComando(std::move(comando), parent), socket_(std::move(socket)),
      nota_(nota.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                                 + QStringLiteral("/halvora-tasto-sway")
                           : std::move(nota))
{
}

bool TastoSway::combinazioneLegata(const QString& configurazione)
{
    QList<std::pair<QString, QString>> variabili;
    QStringList blocchi; // the heads of the open blocks, which sway puts before each line inside
    for (QString riga : configurazione.split(QLatin1Char('\n'))) {
        riga = riga.trimmed();
        if (riga.isEmpty() || riga.startsWith(QLatin1Char('#')))
            continue;
        if (riga == QLatin1String("}")) {
            if (!blocchi.isEmpty())
                blocchi.removeLast();
            continue;
        }
        if (riga.endsWith(QLatin1Char('{'))) {
            blocchi << riga.chopped(1).trimmed();
            continue;
        }
        const QStringList parole =
            (blocchi + QStringList{riga}).join(QLatin1Char(' ')).split(QRegularExpression(QStringLiteral("\\s+")),
                                                                        Qt::SkipEmptyParts);
        if (parole.size() >= 3 && parole[0] == QLatin1String("set") && parole[1].startsWith(QLatin1Char('$'))) {
            variabili << std::pair{parole[1], parole.mid(2).join(QLatin1Char(' '))};
            std::sort(variabili.begin(), variabili.end(),
                      [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
            continue;
        }
        // Bindings inside a mode block belong to that mode, not to the default one.
        if (parole.first() != QLatin1String("bindsym"))
            continue;
        const auto tasti = std::find_if(parole.cbegin() + 1, parole.cend(),
                                        [](const QString& p) { return !p.startsWith(QLatin1String("--")); });
        if (tasti == parole.cend())
            continue;
        QStringList parti = sostituisci(*tasti, variabili).split(QLatin1Char('+'));
        const QString tasto = parti.takeLast();
        QStringList mod;
        for (const QString& p : parti)
            mod << modificatore(p);
        mod.sort();
        if (tasto == QLatin1String("n") && mod == QStringList{"alt", "ctrl"})
            return true;
    }
    return false;
}

QString TastoSway::comandoLegame(const QStringList& comando)
{
    // Inside single quotes the shell takes everything as it stands; sway
    // still reads backslashes, quotes and variables there, so such a
    // command cannot be written.
    static const QRegularExpression sicuro(QStringLiteral("^[^'\"\\\\$]*$"));
    QStringList parti;
    for (const QString& p : comando) {
        if (!sicuro.match(p).hasMatch())
            return {};
        parti << QLatin1Char('\'') + p + QLatin1Char('\'');
    }
    return QStringLiteral("bindsym --no-warn %1 exec %2").arg(kCombinazione, parti.join(QLatin1Char(' ')));
}

std::optional<QString> TastoSway::prendi()
{
    const QString legame = comandoLegame(comando_);
    const auto configurazione = SwayIpc::chiedi(socket_, SwayIpc::configurazione, {});
    if (legame.isEmpty() || !configurazione
        || combinazioneLegata(configurazione->object().value(QLatin1String("config")).toString()))
        return std::nullopt;
    legato_ = riuscito(SwayIpc::chiedi(socket_, SwayIpc::comando, legame.toUtf8()));
    if (!legato_)
        return std::nullopt;
    QFile nota(nota_);
    if (nota.open(QIODevice::WriteOnly | QIODevice::Truncate))
        nota.write(socket_.toUtf8());
    return TastoGlobale::combinazione();
}

void TastoSway::lascia(bool)
{
    // Another sway's note is stale: its bindings went with it.
    QFile nota(nota_);
    const bool lasciatoPrima = nota.open(QIODevice::ReadOnly) && QString::fromUtf8(nota.readAll()) == socket_;
    if (std::exchange(legato_, false) || lasciatoPrima)
        SwayIpc::chiedi(socket_, SwayIpc::comando, QStringLiteral("unbindsym %1").arg(kCombinazione).toUtf8());
    nota.remove();
}
