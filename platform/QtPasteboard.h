#pragma once

#include "Pasteboard.h"

#include <QPointer>

class QClipboard;
class QMimeData;

// The CLIPBOARD selection through QClipboard. Qt tells of foreign changes
// by signal (XFixes on X11); the counter turns them into a number, our own
// writes count once, and every growth is announced.
class QtPasteboard final : public Pasteboard {
    Q_OBJECT
public:
    explicit QtPasteboard(QObject* parent = nullptr);

    qint64 changeCount() const override { return conteggio_; }
    QStringList types() const override;
    QByteArray data(const QString& tipo) const override;
    std::optional<QString> string() const override;
    void setString(const QString& testo) override;
    bool segnalaCambi() const override;

private:
    void cambiato();

    QPointer<QClipboard> clipboard_;
    const QMimeData* nostri_ = nullptr; // what we put there last; compared, never read
    bool scrivendo_ = false;
    qint64 conteggio_ = 0;
};
