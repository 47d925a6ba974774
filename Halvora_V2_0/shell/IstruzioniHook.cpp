#include "IstruzioniHook.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

namespace IstruzioniHook {

QString comandoHook(FornitoreIA fornitore, const QString& evento)
{
    // The folder whose name becomes the second line of the notice: Claude
    // Code exports it; Codex writes it as "cwd" in the JSON on standard input.
    const QString cartella =
        fornitore == FornitoreIA::claude
            ? QStringLiteral("$CLAUDE_PROJECT_DIR")
            : QStringLiteral("$(python3 -c 'import json,sys; print(json.load(sys.stdin).get(\"cwd\") or \"\")' "
                             "2>/dev/null | grep . || echo \"$PWD\")");
    // The terminal or editor the agent runs in, by its desktop-file id.
    const QString origine = QStringLiteral("$(basename \"${GIO_LAUNCHED_DESKTOP_FILE:-}\" .desktop)");
    // The folder is read before going to the background, where standard input is /dev/null.
    return QStringLiteral("p=$(pgrep -u \"$(id -u)\" -x halvora | head -n 1); [ -n \"$p\" ] && "
                          "{ d=\"%4\"; \"$(readlink /proc/$p/exe)\" "
                          "\"halvora://agente?fornitore=%1&evento=%2&origine=%3&progetto=$(basename \"$d\" | base64 -w0)\" "
                          ">/dev/null 2>&1 & } || true")
        .arg(testoFornitore(fornitore), evento, origine, cartella);
}

QString testoJSON(const QVariantMap& dizionario)
{
    const QJsonObject oggetto = QJsonObject::fromVariantMap(dizionario);
    if (oggetto.isEmpty() && !dizionario.isEmpty())
        return {};
    // QJsonObject keeps its keys sorted and never escapes "/".
    return QString::fromUtf8(QJsonDocument(oggetto).toJson(QJsonDocument::Indented)).trimmed();
}

namespace {
QVariantMap comando(FornitoreIA f, const char* evento, bool conTimeout)
{
    QVariantMap c{{QStringLiteral("type"), QStringLiteral("command")},
                  {QStringLiteral("command"), comandoHook(f, QString::fromLatin1(evento))}};
    if (conTimeout)
        c.insert(QStringLiteral("timeout"), 10);
    return c;
}

QVariantList voce(const QVariantMap& hook, const QString& matcher = {})
{
    QVariantMap v{{QStringLiteral("hooks"), QVariantList{hook}}};
    if (!matcher.isEmpty())
        v.insert(QStringLiteral("matcher"), matcher);
    return {v};
}
} // namespace

QString hookClaude()
{
    const QVariantMap hooks{
        {QStringLiteral("Stop"), voce(comando(FornitoreIA::claude, "finito", false))},
        {QStringLiteral("Notification"), voce(comando(FornitoreIA::claude, "attesa", false),
                                              QStringLiteral("permission_prompt|elicitation_dialog|agent_needs_input"))}};
    return testoJSON({{QStringLiteral("hooks"), hooks}});
}

QString hookCodex()
{
    const QVariantMap hooks{{QStringLiteral("Stop"), voce(comando(FornitoreIA::codex, "finito", true))},
                            {QStringLiteral("PermissionRequest"), voce(comando(FornitoreIA::codex, "attesa", true))}};
    return testoJSON({{QStringLiteral("hooks"), hooks}});
}

QString promptInstallazioneHook(FornitoreIA fornitore)
{
    const char* richiesta =
        fornitore == FornitoreIA::claude
            ? QT_TRANSLATE_NOOP("Halvora", "Aggiungi questi hook alle mie impostazioni utente di Claude Code "
                                           "(~/.claude/settings.json), unendoli a quelli che ci sono già senza "
                                           "toccare il resto. Servono a Orbelle per avvisarmi quando hai finito o "
                                           "quando mi aspetti.")
            : QT_TRANSLATE_NOOP("Halvora", "Crea il file ~/.codex/hooks.json con questi hook; se esiste già, "
                                           "uniscili a quelli presenti senza toccare il resto. Non modificare la "
                                           "voce notify in ~/.codex/config.toml. Servono a Orbelle per avvisarmi "
                                           "quando hai finito o quando mi aspetti. Poi spiegami come approvarli "
                                           "con /hooks, perché finché non li approvo Codex non li esegue.");
    const QString hook = fornitore == FornitoreIA::claude ? hookClaude() : hookCodex();
    return QCoreApplication::translate("Halvora", richiesta) + QStringLiteral("\n\n") + hook;
}

} // namespace IstruzioniHook
