// A view that asks the current port's receiver for the logs it shows each
// time it is shown: by the program or the user (not when the desktop merely
// uncovers it), or, while it is shown already, when the user asks for it
// again. The request goes to the port that is current at that moment; with no
// current port nothing is sent.
#pragma once

#include <QDialog>

class CPortTab;

class QRequestingView : public QDialog
{
    Q_OBJECT

public:
    using QDialog::QDialog;

    const CPortTab* m_pPortTab = nullptr; // set by the main window; read only

public slots:
    // Shows the window in front, asking for its logs.
    void OnShowDialog();

protected:
    void showEvent(QShowEvent* pEvent) override;
    // Sends the view's request to the port nPortID (never 0).
    virtual void SendLogRequest(uint nPortID) = 0;

private:
    void Request();
};
