#include "ImpostazioniCalendari.h"

#include "DesktopEntries.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>

namespace {

const QString kAccountGnome = QStringLiteral("gnome-online-accounts-panel");
const QStringList kProgrammiGnome = {QStringLiteral("org.gnome.Calendar"), QStringLiteral("org.gnome.Evolution")};
const QStringList kProgrammiKde = {QStringLiteral("org.kde.korganizer"), QStringLiteral("org.kde.kalendar")};

} // namespace

std::optional<QStringList> ImpostazioniCalendari::comando(const Computer& c)
{
    const bool kde = c.desktop.contains(QLatin1String("KDE"), Qt::CaseInsensitive);
    std::optional<QStringList> account[] = {c.voce(kAccountGnome), c.accountKde};
    if (kde)
        std::swap(account[0], account[1]);
    for (const auto& a : account)
        if (a)
            return a;
    for (const QString& id : kde ? kProgrammiKde + kProgrammiGnome : kProgrammiGnome + kProgrammiKde)
        if (auto programma = c.voce(id))
            return programma;
    return std::nullopt;
}

ImpostazioniCalendari::Computer ImpostazioniCalendari::diQuestoComputer()
{
    Computer c;
    c.desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    // A few files looked up by name, as the desktop finds an entry by its id.
    c.voce = [](const QString& id) -> std::optional<QStringList> {
        for (const QString& cartella : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
            const QString percorso = QDir(cartella).filePath(id + QStringLiteral(".desktop"));
            if (!QFileInfo::exists(percorso))
                continue;
            const auto voce = DesktopEntries::leggi(percorso);
            const QStringList comando = voce ? DesktopEntries::comandoPerUrl(*voce, {}) : QStringList();
            if (comando.isEmpty() || QStandardPaths::findExecutable(comando.first()).isEmpty())
                return std::nullopt;
            return comando;
        }
        return std::nullopt;
    };
    // Plasma's settings modules are Qt 5 plugins without a desktop entry of their own.
    const QString pluginQt5 = QLibraryInfo::path(QLibraryInfo::PluginsPath).replace(QStringLiteral("qt6"), QStringLiteral("qt5"));
    if (QFileInfo::exists(pluginQt5 + QStringLiteral("/plasma/kcms/systemsettings/kcm_kaccounts.so"))) {
        for (const char* programma : {"systemsettings", "kcmshell5"})
            if (!QStandardPaths::findExecutable(QLatin1String(programma)).isEmpty()) {
                c.accountKde = QStringList{QLatin1String(programma), QStringLiteral("kcm_kaccounts")};
                break;
            }
    }
    return c;
}
