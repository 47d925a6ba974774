#include "FornitoreIA.h"

#include "AppIcons.h"

std::optional<FornitoreIA> fornitoreDaTesto(const QString& testo)
{
    if (testo == QLatin1String("claude"))
        return FornitoreIA::claude;
    if (testo == QLatin1String("codex"))
        return FornitoreIA::codex;
    return std::nullopt;
}

QString testoFornitore(FornitoreIA f)
{
    return f == FornitoreIA::claude ? QStringLiteral("claude") : QStringLiteral("codex");
}

QString nomeFornitore(FornitoreIA f)
{
    return f == FornitoreIA::claude ? QStringLiteral("Claude") : QStringLiteral("ChatGPT");
}

QString bundleID(FornitoreIA f)
{
    return idApplicazione(f).constFirst();
}

QStringList idApplicazione(FornitoreIA f)
{
    // Linux has no bundle ids: the desktop applications are known by the
    // names of their desktop files, which differ between packagings.
    if (f == FornitoreIA::claude)
        return {QStringLiteral("com.anthropic.claudefordesktop"), QStringLiteral("claude-desktop"),
                QStringLiteral("com.anthropic.Claude"), QStringLiteral("claude")};
    return {QStringLiteral("com.openai.codex"), QStringLiteral("codex-desktop"), QStringLiteral("codex")};
}

std::optional<FornitoreIA> fornitoreDaBundle(const std::optional<QString>& id)
{
    if (!id || id->isEmpty())
        return std::nullopt;
    for (FornitoreIA f : kFornitoriIA)
        if (idApplicazione(f).contains(*id))
            return f;
    return std::nullopt;
}

const QColor& coloreClaude()
{
    static const QColor colore = QColor::fromRgbF(0.8509803921568627f, 0.4666666666666667f, 0.3411764705882353f, 1.0f);
    return colore;
}

std::optional<QImage> iconaApp(const QString& id)
{
    auto icona = AppIcons::shared().icona(id);
    if (!icona)
        return std::nullopt;
    return icona->pixmap(64, 64).toImage();
}

std::optional<QImage> iconaFornitore(FornitoreIA f, const IconaPerId& icona)
{
    if (!icona)
        return std::nullopt;
    for (const QString& id : idApplicazione(f))
        if (auto i = icona(id))
            return i;
    return std::nullopt;
}
