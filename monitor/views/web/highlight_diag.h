// The help pages window: the monitor's built-in help page, in Chinese or
// English after the user's language, in a web view that exists while the
// window is open. The pages and everything they show are resources of the
// program, so they work without a network.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QVBoxLayout;
class QWebEngineView;

class QFHighLightDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QFHighLightDiag(QWidget* pParent = nullptr);
    ~QFHighLightDiag() override;

    // The page of a language: Chinese for "zh", else English.
    static QUrl PageUrl(const QString& sLanguage);
    // The web view while the window is open, else null.
    QWebEngineView* View() const { return m_pView; }
    QString CurrentLanguage() const { return m_sCurLange; }

public slots:
    void OnShowDialog();
    void OnWindowVisible();
    void OnLanguageUpdate(QString CurLange);

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    // Escape hides a dialog without closing it: the view goes all the same.
    void hideEvent(QHideEvent* pEvent) override;

private:
    QString m_sCurLange;
    QWebEngineView* m_pView = nullptr;
    QVBoxLayout* m_pViewLayout;
    bool m_bOpen = false;
    QWidget* HighLightWidget;
};
