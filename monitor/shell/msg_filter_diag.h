// The message filter window: every complete text line of the current port
// that holds a given text, with the local time it arrived, newest at the
// bottom and at most MAX_ROWS rows. A line cut between two chunks is carried
// to the next one and shown whole. With "Filter Tail" checked, matches are
// held back (the newest MAX_ROWS) and appear, with the times they arrived,
// when it is unchecked. A change of the current tab clears the table. It
// filters only while it is shown. The text column fills the table and grows
// to the longest line shown, so that a line is never cut (the table scrolls
// sideways instead). Docked, the window drops its minimum size, which is
// meant for it as a window of its own, so that it leaves room for the tabs.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui
{
class MsgFiterDiag;
}

class QMsgFiterDiag : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MAX_ROWS = 101;
    // A partial line longer than this is not carried further.
    static constexpr int CARRY_MAX = 1 << 16;

    explicit QMsgFiterDiag(QWidget* pParent = nullptr);
    ~QMsgFiterDiag() override;

public slots:
    void OnUpdateDataDiag(QByteArray OutData);
    void OnClear();
    void OnPortTabChange(int CurIndex);
    void OnIgnoreCase();
    void OnRefresh();
    void AddTableWidgetItem(QString Data, QString CurTime, int rowIndex);
    void OnLanguageUpdate();

    bool eventFilter(QObject* pObj, QEvent* pEvent) override;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    void FitTextColumn();
    void ApplyMinimumSizes();

    std::unique_ptr<Ui::MsgFiterDiag> m_pUi;
    Qt::CaseSensitivity m_eCase = Qt::CaseSensitive;
    QString m_sLastFilter;
    QByteArray m_Carry;
    QStringList m_HeldTimes;
    QStringList m_HeldLines;
    int m_nTextWidth = 0; // the longest line shown, in pixels
};
