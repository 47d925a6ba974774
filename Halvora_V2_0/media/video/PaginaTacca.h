#pragma once

#include <QUrl>
#include <QWebEnginePage>

// The player page and nothing else: its own page loads once per request,
// frames only from the video service, no new windows, no dialogs, no file
// choosers, and every permission, full-screen or handler request refused.
class PaginaTacca : public QWebEnginePage {
    Q_OBJECT
public:
    PaginaTacca(QWebEngineProfile* profilo, QUrl servizio, QUrl origine, QObject* parent = nullptr);

    // Loads the page's HTML at the page's own origin.
    void caricaPagina(const QString& html);
    // Whether a frame inside the page may show `url`.
    static bool cornicePermessa(const QUrl& url, const QUrl& servizio);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType tipo, bool principale) override;
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    // Diagnostics go to standard error, which the application discards.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& testo, int riga,
                                  const QString& fonte) override;

private:
    QUrl servizio_;
    QUrl origine_;
    bool caricoAtteso_ = false;
};
