#include "QtPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

QtPasteboard::QtPasteboard(QObject* parent) : Pasteboard(parent), clipboard_(QGuiApplication::clipboard())
{
    if (clipboard_)
        connect(clipboard_, &QClipboard::dataChanged, this, &QtPasteboard::cambiato);
}

void QtPasteboard::cambiato()
{
    // Our own write was counted in setString; Qt may announce it again.
    if (scrivendo_)
        return;
    if (nostri_ && clipboard_->ownsClipboard() && clipboard_->mimeData() == nostri_)
        return;
    nostri_ = nullptr;
    ++conteggio_;
    emit contatoreCambiato();
}

QStringList QtPasteboard::types() const
{
    const QMimeData* m = clipboard_ ? clipboard_->mimeData() : nullptr;
    return m ? m->formats() : QStringList{};
}

QByteArray QtPasteboard::data(const QString& tipo) const
{
    const QMimeData* m = clipboard_ ? clipboard_->mimeData() : nullptr;
    return m && m->hasFormat(tipo) ? m->data(tipo) : QByteArray{};
}

std::optional<QString> QtPasteboard::string() const
{
    const QMimeData* m = clipboard_ ? clipboard_->mimeData() : nullptr;
    // hasText() also answers for a bare list of URLs, which is not a text copy.
    if (!m || !(m->hasFormat(QStringLiteral("text/plain")) || m->hasFormat(QStringLiteral("text/plain;charset=utf-8"))))
        return std::nullopt;
    return m->text();
}

void QtPasteboard::setString(const QString& testo)
{
    if (!clipboard_)
        return;
    auto* m = new QMimeData;
    m->setText(testo);
    scrivendo_ = true;
    clipboard_->setMimeData(m); // the clipboard owns it from here
    scrivendo_ = false;
    nostri_ = m;
    ++conteggio_;
    emit contatoreCambiato();
}

bool QtPasteboard::segnalaCambi() const { return !clipboard_.isNull(); }
